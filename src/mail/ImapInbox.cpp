#include "mail/ImapInbox.h"

#include "mail/ImapAnswers.h"
#include "mail/ImapFetchAnswer.h"
#include "mail/ImapSequenceSet.h"
#include "mail/MailProfile.h"
#include "mail/MailTexts.h"

#include <QUrl>

#include <algorithm>

namespace Enrolix {
namespace {

// Servers take command lines of 8,000 bytes at least; a set of UIDs stays well below that.
constexpr qsizetype kLongestSet = 4000;

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

ImapInbox::ImapInbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport)
    : m_folder(canonicalFolder(profile.inbox)), m_transport(std::move(transport)),
      m_journal(QString::fromUtf8(m_folder), profile.user, profile.inbox)
{
}

void ImapInbox::failed()
{
    m_failure = m_transport->failure().reason;
}

QStringList ImapInbox::journalEntries(const QStringList& ids) const
{
    QStringList entries;
    entries.reserve(ids.size());
    for (const QString& id : ids)
        entries.append(m_validity + QLatin1Char(':') + id);
    return entries;
}

bool ImapInbox::markUnread(const QStringList& ids)
{
    QList<qulonglong> uids;
    for (const QString& id : ids) {
        // A line of the journal that a crash cut short names no mail.
        bool ok = false;
        if (const qulonglong uid = id.toULongLong(&ok); ok && uid > 0)
            uids.append(uid);
    }
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    for (const QByteArray& set : ImapSequenceSet::write(uids, kLongestSet)) {
        if (!m_transport->request(m_folder, "UID STORE " + set + " -FLAGS.SILENT (\\Seen)"))
            return false;
    }
    return true;
}

bool ImapInbox::open()
{
    // A command on the folder selects it first: this signs on, checks the folder exists, and
    // brings the server's capabilities and the folder's UIDVALIDITY, UIDNEXT and size with the
    // answers.
    if (!m_transport->request(m_folder, "NOOP")) {
        failed();
        return false;
    }
    if (const std::optional<qulonglong> validity = ImapAnswers::uidValidity(m_transport->headers()))
        m_validity = QString::number(*validity);
    m_selected = ImapUnreadSearch::Folder::of(m_transport->headers());
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
    ImapUnreadSearch search(*m_transport, m_folder);
    const std::optional<QList<qulonglong>> uids = search.run(m_selected);
    if (!uids) {
        m_failure = search.failure();
        return std::nullopt;
    }
    QStringList ids;
    ids.reserve(uids->size());
    for (const qulonglong uid : *uids)
        ids.append(QString::number(uid));
    if (!m_journal.add(journalEntries(ids))) {
        m_failure = MailTexts::journalUnwritable(m_journal.path());
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

QList<std::optional<QByteArray>> ImapInbox::fetchMany(const QStringList& ids)
{
    QList<qulonglong> uids;
    for (const QString& id : ids) {
        m_fetched.insert(id);
        uids.append(id.toULongLong());
    }
    std::sort(uids.begin(), uids.end());
    const QSet<qulonglong> asked(uids.cbegin(), uids.cend());
    // Asked for no more than an answer keeps whole: a longer message is fetched again alone.
    const QByteArray items = " (BODY[]<0." + QByteArray::number(MailTransport::kWholeLiteral) + ">)";
    QHash<qulonglong, QByteArray> whole;
    for (const QByteArray& set : ImapSequenceSet::write(uids, kLongestSet)) {
        if (!m_transport->request(m_folder, "UID FETCH " + set + items))
            continue;
        const ImapFetchAnswer::Messages answer =
            ImapFetchAnswer::read(m_transport->headers(), asked, MailTransport::kWholeLiteral);
        whole.insert(answer.whole);
        if (!answer.inStep)
            m_transport->startAfresh();
    }
    QList<std::optional<QByteArray>> messages;
    for (const QString& id : ids) {
        const auto found = whole.constFind(id.toULongLong());
        messages.append(found != whole.cend() ? std::optional<QByteArray>(*found) : fetch(id));
    }
    return messages;
}

bool ImapInbox::markRead(const QString& id)
{
    m_journal.remove(journalEntries({id}));
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
    QStringList untouched;
    for (const QString& id : std::as_const(m_open)) {
        if (!m_finished.contains(id))
            (m_fetched.contains(id) ? fetched : untouched).append(id);
    }
    m_journal.remove(journalEntries(untouched));
    // When the flags cannot be taken back now, the journal keeps the mails for the next sign-on.
    if (!m_transport->lost() && markUnread(fetched))
        m_journal.remove(journalEntries(fetched));
    m_journal.sync();
    m_open.clear();
}

} // namespace Enrolix
