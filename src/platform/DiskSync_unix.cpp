#include "platform/DiskSync.h"

#include <QFile>
#include <QFileDevice>

#include <fcntl.h>
#include <unistd.h>

namespace Enrolix::DiskSync {

bool file(QFileDevice& file)
{
    const int handle = file.handle();
    return handle >= 0 && ::fdatasync(handle) == 0;
}

bool path(const QString& path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = ::fdatasync(handle) == 0;
    ::close(handle);
    return synced;
}

void folder(const QString& path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace Enrolix::DiskSync
