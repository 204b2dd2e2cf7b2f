#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>
#include <memory>
#include <stop_token>

namespace Enrolix {

// The lock file ".enrolix.lock" of a working folder, held by every processing pass and by
// creating or closing an event, so that only one of them works on the folder's files at a
// time, across processes and machines. A lock left by a process that died on this machine is
// taken over at once; one of another machine after a quarter of an hour without a change.
class WorkingFolderLock
{
public:
    static inline const QString kFileName = QStringLiteral(".enrolix.lock");
    // The wait of a pass; and how long a window goes on trying, without blocking, to create or
    // close an event.
    static constexpr std::chrono::seconds kPassWait{30};
    static constexpr std::chrono::seconds kWindowWait{5};

    // folder ends in the separator.
    explicit WorkingFolderLock(const QString& folder);
    ~WorkingFolderLock();
    WorkingFolderLock(const WorkingFolderLock&) = delete;
    WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

    enum class Outcome { Locked, Busy, Unusable };
    // Takes the lock, waiting at most wait for it; a stop ends the wait at once, as Busy.
    // Unusable: no lock file can be made there (the folder is missing or not writable), which no
    // waiting would change.
    Outcome lock(std::chrono::milliseconds wait, const std::stop_token& stop = {});
    // Why the lock could not be made, when Unusable.
    QString problem() const { return m_problem; }

private:
    Outcome unusable();

    QString m_path;
    QString m_problem;
    std::unique_ptr<QLockFile> m_file;
};

} // namespace Enrolix
