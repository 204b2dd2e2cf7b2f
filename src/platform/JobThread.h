#pragma once

#include "platform/Job.h"

#include <QMetaObject>
#include <QThread>

#include <memory>
#include <type_traits>

namespace Enrolix {

// A job on a thread of its own, owned by the job's owner: the job is moved there at once and
// waits for work posted to it; what it emits arrives queued on the owner's thread. Going, this
// asks the job to stop and waits for it, so no owner waits out a silent server or a lock.
template <typename Work> class JobThread final
{
public:
    // name: the thread's, for a debugger.
    JobThread(std::unique_ptr<Work> job, const QString& name) : m_job(job.release())
    {
        static_assert(std::is_base_of_v<Job, Work>);
        m_thread.setObjectName(name);
        m_job->moveToThread(&m_thread);
        // Deleted on its own thread as that ends.
        QObject::connect(&m_thread, &QThread::finished, m_job, &QObject::deleteLater);
        m_thread.start();
    }
    ~JobThread()
    {
        m_job->requestStop();
        m_thread.quit();
        m_thread.wait();
    }
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    // The job, to connect to its signals; it is called only through post().
    Work& job() const { return *m_job; }
    // Runs call(job) on the job's thread, after the work posted before.
    template <typename Call> void post(Call call)
    {
        QMetaObject::invokeMethod(
            m_job, [job = m_job, call = std::move(call)]() mutable { call(*job); }, Qt::QueuedConnection);
    }

private:
    QThread m_thread;
    Work* m_job{nullptr};
};

} // namespace Enrolix
