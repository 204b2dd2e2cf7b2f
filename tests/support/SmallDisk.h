#pragma once

#include <QString>

namespace Enrolix::Testing {

// A real file system of a few pages (tmpfs) mounted over a folder of the test, to be filled up
// to the last byte. Needs root; problem() says why it could not be had.
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

// Skips the running test when the small disk could not be mounted.
#define ENROLIX_REQUIRE_DISK(disk)                                                                                     \
    do {                                                                                                               \
        if (!(disk).problem().isEmpty())                                                                               \
            QSKIP(qPrintable(QStringLiteral("no small disk for this test: ") + (disk).problem()));                     \
    } while (false)
