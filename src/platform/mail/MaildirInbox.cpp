#include "platform/mail/MaildirInbox.h"

#include "mail/MailTexts.h"
#include "platform/DiskSync.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Enrolix {

MaildirInbox::MaildirInbox(const QString& path, bool create) : m_folder(path), m_create(create) {}

bool MaildirInbox::open()
{
    if (m_folder.prepare(m_create))
        return true;
    m_failure = MailTexts::maildirMissing(m_folder.path());
    return false;
}

std::optional<QStringList> MaildirInbox::unread()
{
    struct Entry
    {
        QString id;
        QDateTime modified;
    };
    QList<Entry> entries;
    for (const QString& sub : {QStringLiteral("new"), QStringLiteral("cur")}) {
        const QDir folder(m_folder.path() + sub);
        if (!folder.exists()) {
            m_failure = MailTexts::maildirMissing(m_folder.path());
            return std::nullopt;
        }
        for (const QFileInfo& info : folder.entryInfoList(QDir::Files)) {
            if (sub == QLatin1String("cur") && MaildirFolder::flags(info.fileName()).contains(QLatin1Char('S')))
                continue;
            entries.append({sub + QLatin1Char('/') + info.fileName(), info.lastModified()});
        }
    }
    // Delivery order: by arrival time, then by name (Maildir names begin with the time).
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.modified != b.modified)
            return a.modified < b.modified;
        return a.id.section(QLatin1Char('/'), 1) < b.id.section(QLatin1Char('/'), 1);
    });
    QStringList ids;
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
    return QFile::rename(m_folder.path() + id, target);
}

void MaildirInbox::close()
{
    // The renames into cur/ reach the disk, so a power cut does not bring handled mails back.
    DiskSync::folder(m_folder.path() + QStringLiteral("cur"));
    DiskSync::folder(m_folder.path() + QStringLiteral("new"));
}

void MaildirInbox::leaveUnread(const QString& /*id*/)
{
    // Reading left the message where it was: it is still unread.
}

} // namespace Enrolix
