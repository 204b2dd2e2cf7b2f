#include "mail/ReplySender.h"

#include "mail/MailOutbox.h"

namespace Enrolix {

ReplySender::~ReplySender()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
        // Their mails stay unread for a later pass; only the reply already under way may go.
        deferQueued();
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ReplySender::queue(int index, const QString& from, const QString& to, const QByteArray& message,
                        std::function<bool()> ready)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back({index, from, to, message, std::move(ready)});
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void ReplySender::deferQueued()
{
    for (const Job& job : m_jobs)
        m_settled.push_back({job.index, SendResult::Deferred});
    m_jobs.clear();
}

void ReplySender::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
        if (m_ending)
            return;
        if (m_stop.stop_requested()) {
            deferQueued();
            m_changed.notify_all();
            continue;
        }
        const Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_sending = true;
        lock.unlock();
        SendResult result = SendResult::Deferred;
        QString failure;
        if (!job.ready || job.ready()) {
            result = m_outbox.send(job.from, job.to, job.message);
            if (result == SendResult::Unavailable)
                failure = m_outbox.failure();
        }
        lock.lock();
        m_sending = false;
        m_settled.push_back({job.index, result});
        if (!failure.isEmpty())
            m_failure = failure;
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
    return int(m_jobs.size() + m_settled.size()) + (m_sending ? 1 : 0);
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
