#include "support/SmallDisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Enrolix::Testing {

namespace {

QString failed(const char* what)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

bool writeProcFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return written;
}

// Keeps CAP_SYS_ADMIN, for the mounts, and gives up every other capability of the namespace.
bool keepOnlyMounting()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    data[CAP_TO_INDEX(CAP_SYS_ADMIN)].effective = CAP_TO_MASK(CAP_SYS_ADMIN);
    data[CAP_TO_INDEX(CAP_SYS_ADMIN)].permitted = CAP_TO_MASK(CAP_SYS_ADMIN);
    return ::syscall(SYS_capset, &header, data) == 0;
}

// A mount namespace of this process's own; without the right to make one (any user but root), in
// a user namespace of its own in which its ids stay as they are. Empty when done, else why not.
QString enterMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return failed("no user namespace to mount in");
        if (!writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", QByteArray::number(uid) + ' ' + QByteArray::number(uid) + " 1") ||
            !writeProcFile("/proc/self/gid_map", QByteArray::number(gid) + ' ' + QByteArray::number(gid) + " 1"))
            return failed("the user namespace's ids could not be mapped");
        if (!keepOnlyMounting())
            return failed("the capabilities of the user namespace could not be narrowed");
        // The change of namespace made the process undumpable; a test crashing here still leaves a core
        // and can be attached to, as anywhere else.
        ::prctl(PR_SET_DUMPABLE, 1);
    }
    // Mounts made here are not passed on to the namespace this process came from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("the mount namespace could not be made private");
    return {};
}

// Before main(), while the process has a single thread.
const QString gNamespaceProblem = enterMountNamespace();

} // namespace

SmallDisk::SmallDisk(const QString& folder, int kibibytes)
    : m_folder(QDir(folder).absolutePath()), m_filler(m_folder + QStringLiteral("/.filler"))
{
    if (!gNamespaceProblem.isEmpty()) {
        m_problem = gNamespaceProblem;
        return;
    }
    QDir().mkpath(m_folder);
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0777";
    if (::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) !=
        0) {
        m_problem = failed("mount failed");
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
