#include "mail/ReplySender.h"

#include "mail/MailOutbox.h"

namespace Enrolix {

ReplySender::ReplySender(QList<MailOutbox*> lanes, std::stop_token stop)
    : m_lanes(std::move(lanes)), m_stop(std::move(stop))
{
}

ReplySender::~ReplySender()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
        // Their mails stay unread for a later pass; only the replies already under way may go.
        settleWaiting(SendResult::Deferred);
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void ReplySender::queue(int index, const QString& from, const QString& to, const QByteArray& message,
                        std::function<bool()> ready)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back({index, from, to, message, std::move(ready)});
        serveWaiting();
    }
    m_changed.notify_all();
}

void ReplySender::serveWaiting()
{
    if (qsizetype(m_jobs.size()) <= m_free)
        return;
    if (m_threads.size() < size_t(m_lanes.size())) {
        MailOutbox* lane = m_lanes.at(qsizetype(m_threads.size()));
        m_threads.emplace_back([this, lane] { run(*lane); });
    } else if (m_ended == m_lanes.size()) {
        settleWaiting(SendResult::Unavailable);
    }
}

void ReplySender::settleWaiting(SendResult result)
{
    for (const Job& job : m_jobs)
        m_settled.push_back({job.index, result});
    m_jobs.clear();
}

void ReplySender::run(MailOutbox& lane)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        ++m_free;
        m_changed.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
        --m_free;
        if (m_ending)
            return;
        if (m_stop.stop_requested()) {
            settleWaiting(SendResult::Deferred);
            m_changed.notify_all();
            continue;
        }
        const Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_sending;
        lock.unlock();
        SendResult result = SendResult::Deferred;
        QString failure;
        bool lost = false;
        if (!job.ready || job.ready()) {
            result = lane.send(job.from, job.to, job.message);
            if (result == SendResult::Unavailable)
                failure = lane.failure();
            lost = lane.lost();
        }
        lock.lock();
        --m_sending;
        m_settled.push_back({job.index, result});
        if (!failure.isEmpty())
            m_failure = failure;
        if (lost) {
            ++m_ended;
            serveWaiting();
            m_changed.notify_all();
            return;
        }
        m_changed.notify_all();
    }
}

std::optional<SettledReply> ReplySender::take(bool wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (wait)
        m_changed.wait(lock, [this] { return !m_settled.empty() || idle(); });
    if (m_settled.empty())
        return std::nullopt;
    const SettledReply settled = m_settled.front();
    m_settled.pop_front();
    return settled;
}

int ReplySender::queued() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_jobs.size() + m_settled.size()) + m_sending;
}

QString ReplySender::failure() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

void ReplySender::drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return idle(); });
}

} // namespace Enrolix
