#pragma once

#include <QString>

namespace Enrolix::Testing {

// A real file system of a few pages (tmpfs) mounted over a folder of the test, to be filled up
// to the last byte. problem() says why it could not be had.
//
// Mounting needs CAP_SYS_ADMIN in the user namespace that owns the mount namespace. So a test
// program that links this file moves into a mount namespace of its own before main() runs, while
// it still has its one thread (the kernel refuses a new user namespace to a process with more).
// Root makes a mount namespace alone; any other user (or root without the capability) makes it
// inside a user namespace of its own in which the user keeps its own ids, as
// `unshare --map-current-user --mount` would, and of the capabilities that namespace grants
// keeps only CAP_SYS_ADMIN, so files are read and written with the user's own rights. The mounts
// are seen by this process and its children only, and go with it however it ends. Where the
// kernel allows no such namespace, a test skips, saying why, or fails when CI is set.
class SmallDisk
{
public:
    // Mounts at the folder, which is created when missing and must be empty.
    SmallDisk(const QString& folder, int kibibytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty when the disk is mounted.
    QString problem() const { return m_problem; }
    // Takes every free byte.
    void fill();
    // Gives back about this many bytes (whole pages) of what fill() took.
    void release(qint64 bytes);
    // Gives back all that fill() took.
    void releaseAll();
    // Free bytes as the file system counts them.
    qint64 freeBytes() const;

private:
    QString m_folder;
    QString m_filler;
    QString m_problem;
    bool m_mounted{false};
};

} // namespace Enrolix::Testing

// Stops the running test when the small disk could not be mounted: it skips, saying why, but in
// CI (the environment variable CI set), where a test that cannot run must not pass, it fails.
#define ENROLIX_REQUIRE_DISK(disk)                                                                                     \
    do {                                                                                                               \
        if (!(disk).problem().isEmpty()) {                                                                             \
            const QString why = QStringLiteral("no small disk for this test: ") + (disk).problem();                    \
            if (qEnvironmentVariableIsSet("CI"))                                                                       \
                QFAIL(qPrintable(why));                                                                                \
            QSKIP(qPrintable(why));                                                                                    \
        }                                                                                                              \
    } while (false)
