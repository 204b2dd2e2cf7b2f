#include "platform/mail/ImapInbox.h"

#include "platform/mail/MailProfile.h"

#include <QUrl>

#include <algorithm>

namespace Enrolix {
namespace {

const QByteArray kSearchAnswer = "* SEARCH";
const QByteArray kValidityAnswer = "[UIDVALIDITY ";

} // namespace

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

ImapInbox::ImapInbox(const MailProfile& profile, const QString& password, const TransportLimits& limits,
                     std::shared_ptr<TroubleClock> clock)
    : m_folder(canonicalFolder(profile.inbox)), m_connection(profile, password, limits, std::move(clock)),
      m_journal(QString::fromUtf8(m_folder), profile.user, profile.inbox)
{
}

bool ImapInbox::open()
{
    // A command on the folder selects it first: this signs on, checks the folder exists, and
    // brings its UIDVALIDITY with the answers.
    if (!m_connection.perform(m_folder, "NOOP")) {
        m_failure = m_connection.failure();
        return false;
    }
    const QByteArray& answers = m_connection.headers();
    const qsizetype at = answers.indexOf(kValidityAnswer);
    if (at >= 0) {
        const qsizetype start = at + kValidityAnswer.size();
        m_validity = QString::fromLatin1(answers.mid(start, answers.indexOf(']', start) - start).trimmed());
    }
    // Mails that a pass fetched and did not finish, because the program died, are unread again.
    bool restored = true;
    for (const QString& entry : m_journal.pending()) {
        const QString validity = entry.section(QLatin1Char(':'), 0, 0);
        if (validity == m_validity)
            restored = store(entry.section(QLatin1Char(':'), 1), "-FLAGS.SILENT (\\Seen)") && restored;
    }
    if (!restored) {
        m_failure = m_connection.failure();
        return false;
    }
    m_journal.clear();
    return true;
}

QString ImapInbox::journalEntry(const QString& id) const
{
    return m_validity + QLatin1Char(':') + id;
}

std::optional<QStringList> ImapInbox::unread()
{
    if (!m_connection.perform(m_folder, "UID SEARCH UNSEEN")) {
        m_failure = m_connection.failure();
        return std::nullopt;
    }
    QList<qulonglong> uids;
    for (const QByteArray& line : m_connection.body().split('\n')) {
        if (!line.startsWith(kSearchAnswer))
            continue;
        for (const QByteArray& word : line.mid(kSearchAnswer.size()).simplified().split(' ')) {
            bool ok = false;
            const qulonglong uid = word.toULongLong(&ok);
            if (ok)
                uids.append(uid);
        }
    }
    std::sort(uids.begin(), uids.end());
    QStringList ids;
    for (const qulonglong uid : uids)
        ids.append(QString::number(uid));
    return ids;
}

std::optional<QByteArray> ImapInbox::fetch(const QString& id)
{
    if (!m_journal.add(journalEntry(id))) {
        m_failure = QStringLiteral("the journal of fetched mails %1 cannot be written").arg(m_journal.path());
        return std::nullopt;
    }
    if (!m_connection.perform(m_folder + ";UID=" + id.toLatin1())) {
        m_failure = m_connection.failure();
        return std::nullopt;
    }
    return m_connection.body();
}

bool ImapInbox::store(const QString& id, const QByteArray& change)
{
    return m_connection.perform(m_folder, "UID STORE " + id.toLatin1() + ' ' + change);
}

bool ImapInbox::markRead(const QString& id)
{
    if (!store(id, "+FLAGS.SILENT (\\Seen)"))
        return false;
    m_journal.remove(journalEntry(id));
    return true;
}

QString ImapInbox::failure() const
{
    return m_failure;
}

void ImapInbox::leaveUnread(const QString& id)
{
    // When the flag cannot be taken back now, the journal keeps the mail for the next sign-on.
    if (store(id, "-FLAGS.SILENT (\\Seen)"))
        m_journal.remove(journalEntry(id));
}

} // namespace Enrolix
