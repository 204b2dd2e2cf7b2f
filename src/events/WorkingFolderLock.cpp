#include "events/WorkingFolderLock.h"

#include "events/EventMessages.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace Enrolix {
namespace {

// A lock that long unchanged is taken to be left behind, for the locks of other machines whose
// processes cannot be looked at; a pass of thousands of mails takes minutes, not this long.
constexpr int kStaleMilliseconds = 15 * 60 * 1000;
// Less room than one block of a disk cannot hold even the lock file.
constexpr qint64 kRoomForTheLock = 4096;

} // namespace

WorkingFolderLock::WorkingFolderLock(const QString& folder)
    : m_path(folder + kFileName), m_file(std::make_unique<QLockFile>(m_path))
{
    m_file->setStaleLockTime(kStaleMilliseconds);
}

WorkingFolderLock::~WorkingFolderLock() = default;

WorkingFolderLock::Outcome WorkingFolderLock::lock(std::chrono::milliseconds wait)
{
    if (m_file->tryLock(int(wait.count())))
        return Outcome::Locked;
    if (m_file->error() == QLockFile::LockFailedError)
        return Outcome::Busy;
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
