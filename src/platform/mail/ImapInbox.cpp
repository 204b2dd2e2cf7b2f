#include "platform/mail/ImapInbox.h"

#include "platform/mail/MailProfile.h"

#include <QUrl>

#include <algorithm>

namespace Enrolix {
namespace {

const QByteArray kSearchAnswer = "* SEARCH";
const QByteArray kValidityAnswer = "[UIDVALIDITY ";

} // namespace

ImapInbox::ImapInbox(const MailProfile& profile, const QString& password)
    : m_connection(profile, password), m_journal(profile.inbox, profile.user)
{
    const QUrl url(profile.inbox);
    m_server = url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toEncoded() + '/';
    QByteArray path = url.path(QUrl::FullyEncoded).toUtf8();
    while (path.startsWith('/'))
        path.remove(0, 1);
    while (path.endsWith('/'))
        path.chop(1);
    m_folder = m_server + (path.isEmpty() ? QByteArray("INBOX") : path);
}

bool ImapInbox::open()
{
    // A command on the folder selects it first: this signs on, checks the folder exists, and
    // brings its UIDVALIDITY with the answers.
    if (!m_connection.perform(m_folder, "NOOP"))
        return false;
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
    if (!restored)
        return false;
    m_journal.clear();
    return true;
}

QString ImapInbox::journalEntry(const QString& id) const
{
    return m_validity + QLatin1Char(':') + id;
}

std::optional<QStringList> ImapInbox::unread()
{
    if (!m_connection.perform(m_folder, "UID SEARCH UNSEEN"))
        return std::nullopt;
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
    if (!m_journal.add(journalEntry(id)))
        return std::nullopt;
    if (!m_connection.perform(m_folder + ";UID=" + id.toLatin1()))
        return std::nullopt;
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

void ImapInbox::leaveUnread(const QString& id)
{
    // When the flag cannot be taken back now, the journal keeps the mail for the next sign-on.
    if (store(id, "-FLAGS.SILENT (\\Seen)"))
        m_journal.remove(journalEntry(id));
}

} // namespace Enrolix
