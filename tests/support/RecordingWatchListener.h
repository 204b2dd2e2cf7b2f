#pragma once

#include "mail/InboxWatcher.h"

#include <QList>
#include <QStringList>

#include <mutex>

namespace Enrolix::Testing {

// Records what an inbox watcher tells from its thread; the test reads copies.
class RecordingWatchListener final : public InboxWatcher::Listener
{
public:
    struct Interruption
    {
        QString reason;
        std::chrono::milliseconds pause;
    };

    void watching(InboxWatcher::Watching how) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_watching.append(how);
    }
    void arrived() override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_arrivals;
    }
    void interrupted(const QString& reason, std::chrono::milliseconds pause) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_interruptions.append({reason, pause});
    }

    QList<InboxWatcher::Watching> watchings() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_watching;
    }
    int arrivals() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_arrivals;
    }
    QList<Interruption> interruptions() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_interruptions;
    }

private:
    mutable std::mutex m_mutex;
    QList<InboxWatcher::Watching> m_watching;
    int m_arrivals{0};
    QList<Interruption> m_interruptions;
};

} // namespace Enrolix::Testing
