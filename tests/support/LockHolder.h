#pragma once

#include <QProcess>
#include <QString>

namespace Enrolix::Testing {

// Another process (tests/tools/lock_holder) that holds a working folder's lock the way a pass
// of another program does, until it is let go.
class LockHolder
{
public:
    // Returns once the other process holds the lock; problem() says when it could not.
    LockHolder(const QString& program, const QString& folder);
    // Lets go, if not done before.
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    QString problem() const { return m_problem; }
    // Returns once the other process has ended, and with it its lock.
    void letGo();

private:
    QProcess m_process;
    QString m_problem;
};

} // namespace Enrolix::Testing
