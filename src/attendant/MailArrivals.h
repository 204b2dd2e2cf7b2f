#pragma once

#include "mail/InboxWatcher.h"

#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>

namespace Enrolix {

// What the inbox watcher of enrolix-attendant tells, for the service's loop: the watcher's lines go
// to the log, and the loop waits between passes until new mail comes in, its time is over or it is
// asked to stop.
class MailArrivals final : public InboxWatcher::Listener
{
public:
    using Clock = std::chrono::steady_clock;
    // Mail that comes in within this time of the first makes one pass.
    static constexpr std::chrono::seconds kGathering{1};

    // log: writes one line; called from the watcher's thread.
    explicit MailArrivals(std::function<void(const QString&)> log);
    Q_DISABLE_COPY_MOVE(MailArrivals)

    void watching(InboxWatcher::Watching how) override;
    void arrived() override;
    void interrupted(const QString& reason, std::chrono::milliseconds pause) override;

    // The wait between timed passes, as the line of a server without IDLE names it.
    void setPassInterval(std::chrono::seconds interval) { m_interval = int(interval.count()); }
    // Returns once stop is asked, the time comes, or mail came in since the last return and the
    // gathering time after it is over.
    void waitForMail(const std::stop_token& stop, Clock::time_point until);

private:
    std::function<void(const QString&)> m_log;
    std::atomic<int> m_interval{0};
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::optional<Clock::time_point> m_firstArrival;
};

} // namespace Enrolix
