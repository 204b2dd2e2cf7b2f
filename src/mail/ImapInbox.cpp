#include "mail/ImapInbox.h"

#include "mail/ImapAnswers.h"
#include "mail/MailProfile.h"

#include <QUrl>

#include <algorithm>

namespace Enrolix {

QByteArray ImapInbox::canonicalFolder(const QString& location)
{
    QUrl url(location);
    const QString scheme = url.scheme().toLower();
    url.setScheme(scheme);
    url.setHost(url.host().toLower());
    url.setPort(url.port(scheme == QLatin1String("imaps") ? 993 : 143));
    QByteArray path = url.path(QUrl::FullyEncoded).toUtf8();
    while (path.startsWith('/'))
        path.remove(0, 1);
    while (path.endsWith('/'))
        path.chop(1);
    // The inbox is named INBOX in any case; every other folder name is case-sensitive.
    if (path.isEmpty() || path.compare("INBOX", Qt::CaseInsensitive) == 0)
        path = "INBOX";
    const QByteArray server =
        url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toEncoded();
    return server + '/' + path;
}

ImapInbox::ImapInbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport)
    : m_folder(canonicalFolder(profile.inbox)), m_transport(std::move(transport)),
      m_journal(QString::fromUtf8(m_folder), profile.user, profile.inbox)
{
}

void ImapInbox::failed()
{
    m_failure = m_transport->failure().reason;
}

QString ImapInbox::journalEntry(const QString& id) const
{
    return m_validity + QLatin1Char(':') + id;
}

bool ImapInbox::markUnread(const QStringList& ids)
{
    if (ids.isEmpty())
        return true;
    return m_transport->request(m_folder,
                                "UID STORE " + ids.join(QLatin1Char(',')).toLatin1() + " -FLAGS.SILENT (\\Seen)");
}

bool ImapInbox::open()
{
    // A command on the folder selects it first: this signs on, checks the folder exists, and
    // brings its UIDVALIDITY with the answers.
    if (!m_transport->request(m_folder, "NOOP")) {
        failed();
        return false;
    }
    if (const std::optional<qulonglong> validity = ImapAnswers::uidValidity(m_transport->headers()))
        m_validity = QString::number(*validity);
    // Mails that a pass fetched and did not finish, because the program died, are unread again.
    QStringList unfinished;
    for (const QString& entry : m_journal.pending()) {
        if (entry.section(QLatin1Char(':'), 0, 0) == m_validity)
            unfinished.append(entry.section(QLatin1Char(':'), 1));
    }
    if (!markUnread(unfinished)) {
        failed();
        return false;
    }
    m_journal.clear();
    return true;
}

std::optional<QStringList> ImapInbox::unread()
{
    if (!m_transport->request(m_folder, "UID SEARCH UNSEEN")) {
        failed();
        return std::nullopt;
    }
    // The answers as the server sent them: what libcurl hands on as the body of a command is cut
    // short at a literal.
    QList<qulonglong> uids = ImapAnswers::searchResults(m_transport->headers());
    std::sort(uids.begin(), uids.end());
    QStringList ids;
    QStringList entries;
    for (const qulonglong uid : uids) {
        ids.append(QString::number(uid));
        entries.append(journalEntry(ids.last()));
    }
    if (!m_journal.add(entries)) {
        m_failure = QStringLiteral("the journal of fetched mails %1 cannot be written").arg(m_journal.path());
        return std::nullopt;
    }
    m_open = ids;
    return ids;
}

std::optional<QByteArray> ImapInbox::fetch(const QString& id)
{
    m_fetched.insert(id);
    if (!m_transport->request(m_folder + ";UID=" + id.toLatin1())) {
        failed();
        return std::nullopt;
    }
    return m_transport->body();
}

bool ImapInbox::markRead(const QString& id)
{
    m_journal.remove({journalEntry(id)});
    m_finished.insert(id);
    return true;
}

void ImapInbox::leaveUnread(const QString& /*id*/)
{
    // Every fetched mail that was not marked read is made unread at close().
}

void ImapInbox::close()
{
    // A mail never fetched is as unread as it was; one fetched and left is made unread again.
    QStringList fetched;
    for (const QString& id : std::as_const(m_open)) {
        if (m_finished.contains(id))
            continue;
        if (m_fetched.contains(id))
            fetched.append(id);
        else
            m_journal.remove({journalEntry(id)});
    }
    // When the flags cannot be taken back now, the journal keeps the mails for the next sign-on.
    if (!m_transport->lost() && markUnread(fetched)) {
        for (const QString& id : fetched)
            m_journal.remove({journalEntry(id)});
    }
    m_journal.sync();
    m_open.clear();
}

} // namespace Enrolix
