#pragma once

#include <QLockFile>
#include <QString>

#include <stop_token>

namespace Enrolix {

struct ClosedEvent;

// The lock of one event's notifications, event number + ".sent.lock", across windows, processes
// and machines. A run of Send Notifications holds it from start to end, and so does a seat
// being released, so the two never overlap: two runs would mail everybody twice, and a release
// in the middle of a run would leave the run mailing from the statuses it started with. A lock
// left by a process that died on this machine is taken over at once.
class SendingLock
{
public:
    explicit SendingLock(const ClosedEvent& closed);
    SendingLock(const SendingLock&) = delete;
    SendingLock& operator=(const SendingLock&) = delete;

    // Takes it at once, or fails: busy() tells whether another run holds it.
    bool tryTake();
    // Takes it, waiting while another run holds it; fails when the lock is held and stop is
    // asked, or the lock file cannot be made.
    bool take(std::stop_token stop);
    bool busy() const { return m_lock.error() == QLockFile::LockFailedError; }
    QString path() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};

} // namespace Enrolix
