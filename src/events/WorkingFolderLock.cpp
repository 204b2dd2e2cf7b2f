#include "events/WorkingFolderLock.h"

#include "events/EventMessages.h"
#include "platform/Stopping.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace Enrolix {
namespace {

// A lock that long unchanged is taken to be left behind, for the locks of other machines whose
// processes cannot be looked at; a pass of thousands of mails takes minutes, not this long.
constexpr int kStaleMilliseconds = 15 * 60 * 1000;
// Less room than one block of a disk cannot hold even the lock file.
constexpr qint64 kRoomForTheLock = 4096;
// How often a waiting lock is tried again.
constexpr std::chrono::milliseconds kRetry{100};

} // namespace

WorkingFolderLock::WorkingFolderLock(const QString& folder)
    : m_path(folder + kFileName), m_file(std::make_unique<QLockFile>(m_path))
{
    m_file->setStaleLockTime(kStaleMilliseconds);
}

WorkingFolderLock::~WorkingFolderLock() = default;

WorkingFolderLock::Outcome WorkingFolderLock::lock(std::chrono::milliseconds wait, const std::stop_token& stop)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + wait;
    // Tried again and again rather than in one wait of the lock file's, which no stop would end.
    while (!m_file->tryLock(0)) {
        if (m_file->error() != QLockFile::LockFailedError)
            return unusable();
        const Clock::time_point now = Clock::now();
        if (now >= deadline || Stopping::waitUntil(stop, std::min(deadline, now + kRetry)))
            return Outcome::Busy;
    }
    return Outcome::Locked;
}

WorkingFolderLock::Outcome WorkingFolderLock::unusable()
{
    const QFileInfo folder(QFileInfo(m_path).absolutePath());
    if (!folder.isDir())
        m_problem = EventMessages::lockFolderMissing(folder.filePath());
    else if (QStorageInfo(folder.filePath()).bytesAvailable() < kRoomForTheLock)
        m_problem = EventMessages::lockFolderFull(folder.filePath());
    else
        m_problem = EventMessages::lockFolderNotWritable(folder.filePath());
    return Outcome::Unusable;
}

} // namespace Enrolix
