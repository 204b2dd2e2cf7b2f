#include "platform/mail/MaildirInbox.h"

#include "mail/MailTexts.h"
#include "platform/DiskSync.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Enrolix {

MaildirInbox::MaildirInbox(const QString& path, bool create, std::shared_ptr<MaildirCurIndex> cur)
    : m_folder(path), m_create(create), m_cur(std::move(cur))
{
}

bool MaildirInbox::open()
{
    if (m_folder.prepare(m_create))
        return true;
    m_failure = MailTexts::maildirMissing(m_folder.path());
    return false;
}

QString MaildirInbox::listingFailure(const QString& sub) const
{
    if (!QDir(m_folder.path() + sub).exists())
        return MailTexts::maildirMissing(m_folder.path());
    return QStringLiteral("maildir:%1%2: the folder cannot be read").arg(m_folder.path(), sub);
}

std::optional<QStringList> MaildirInbox::unread()
{
    QStringList ids;
    const bool whole = m_folder.forEachFile(
        "new", [&ids](const char* name) { ids.append(QStringLiteral("new/") + QFile::decodeName(name)); });
    if (!whole) {
        m_failure = listingFailure(QStringLiteral("new"));
        return std::nullopt;
    }
    const std::optional<QStringList> cur = m_cur->unread(m_folder);
    if (!cur) {
        m_failure = listingFailure(QStringLiteral("cur"));
        return std::nullopt;
    }
    for (const QString& name : *cur)
        ids.append(QStringLiteral("cur/") + name);

    struct Entry
    {
        QString id;
        QDateTime modified;
    };
    QList<Entry> entries;
    entries.reserve(ids.size());
    for (const QString& id : std::as_const(ids)) {
        // A mail gone since it was listed is no longer there to be read.
        const QFileInfo info(m_folder.path() + id);
        if (info.exists())
            entries.append({id, info.lastModified()});
    }
    // Delivery order: by arrival time, then by name (Maildir names begin with the time).
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.modified != b.modified)
            return a.modified < b.modified;
        return a.id.section(QLatin1Char('/'), 1) < b.id.section(QLatin1Char('/'), 1);
    });
    ids.clear();
    for (const Entry& entry : entries)
        ids.append(entry.id);
    return ids;
}

std::optional<QByteArray> MaildirInbox::fetch(const QString& id)
{
    QFile file(m_folder.path() + id);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = QStringLiteral("maildir:%1: %2").arg(file.fileName(), file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

bool MaildirInbox::markRead(const QString& id)
{
    const QString fileName = id.section(QLatin1Char('/'), 1);
    QString flags = MaildirFolder::flags(fileName) + QLatin1Char('S');
    std::sort(flags.begin(), flags.end());
    flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
    const QString target =
        m_folder.path() + QStringLiteral("cur/") + MaildirFolder::baseName(fileName) + QStringLiteral(":2,") + flags;
    if (!QFile::rename(m_folder.path() + id, target))
        return false;
    m_marked = true;
    return true;
}

void MaildirInbox::close()
{
    // The renames into cur/ reach the disk, so a power cut does not bring handled mails back.
    if (!m_marked)
        return;
    DiskSync::folder(m_folder.path() + QStringLiteral("cur"));
    DiskSync::folder(m_folder.path() + QStringLiteral("new"));
}

void MaildirInbox::leaveUnread(const QString& /*id*/)
{
    // Reading left the message where it was: it is still unread.
}

} // namespace Enrolix
