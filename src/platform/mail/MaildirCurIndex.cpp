#include "platform/mail/MaildirCurIndex.h"

#include "platform/mail/MaildirFolder.h"

#include <QFile>

#include <sys/stat.h>

namespace Enrolix {
namespace {

bool operator==(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::chrono::nanoseconds sinceEpoch(const timespec& time)
{
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

} // namespace

bool MaildirCurIndex::Stamp::operator==(const Stamp& other) const
{
    return device == other.device && inode == other.inode && modified == other.modified && changed == other.changed;
}

std::optional<MaildirCurIndex::Stamp> MaildirCurIndex::stampOf(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return Stamp{status.st_dev, status.st_ino, status.st_mtim, status.st_ctim};
}

std::optional<QStringList> MaildirCurIndex::unread(const MaildirFolder& folder)
{
    const std::lock_guard lock(m_mutex);
    const QString path = folder.path() + QStringLiteral("cur");
    // Taken before the folder is looked at: a change after that look carries a later time.
    timespec before = {};
    ::clock_gettime(CLOCK_REALTIME, &before);
    const std::optional<Stamp> now = stampOf(path);
    if (!now)
        return std::nullopt;
    if (path == m_path && m_listed == now)
        return m_unread;

    QStringList unread;
    m_path.clear();
    m_listed.reset();
    m_unread.clear();
    ++m_listings;
    const bool whole = folder.forEachFile("cur", [&unread](const char* name) {
        if (!MaildirFolder::seen(name))
            unread.append(QFile::decodeName(name));
    });
    if (!whole)
        return std::nullopt;
    m_path = path;
    m_unread = unread;
    if (sinceEpoch(now->modified) + kSettle <= sinceEpoch(before))
        m_listed = now;
    return unread;
}

int MaildirCurIndex::listings() const
{
    const std::lock_guard lock(m_mutex);
    return m_listings;
}

qsizetype MaildirCurIndex::kept() const
{
    const std::lock_guard lock(m_mutex);
    return m_unread.size();
}

} // namespace Enrolix
