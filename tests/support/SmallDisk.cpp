#include "support/SmallDisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace Enrolix::Testing {

SmallDisk::SmallDisk(const QString& folder, int kibibytes)
    : m_folder(QDir(folder).absolutePath()), m_filler(m_folder + QStringLiteral("/.filler"))
{
    if (::geteuid() != 0) {
        m_problem = QStringLiteral("mounting a tmpfs needs root");
        return;
    }
    QDir().mkpath(m_folder);
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0777";
    if (::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) !=
        0) {
        m_problem = QStringLiteral("mount failed: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    QFile filler(m_filler);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    const QByteArray page(4096, 'x');
    while (filler.write(page) == page.size()) {
    }
    // The last page may have been taken in part; one byte at a time takes the rest of it.
    while (filler.write("x", 1) == 1) {
    }
}

void SmallDisk::release(qint64 bytes)
{
    QFile filler(m_filler);
    filler.resize(std::max<qint64>(0, filler.size() - bytes));
}

void SmallDisk::releaseAll()
{
    QFile::remove(m_filler);
}

qint64 SmallDisk::freeBytes() const
{
    return QStorageInfo(m_folder).bytesFree();
}

} // namespace Enrolix::Testing
