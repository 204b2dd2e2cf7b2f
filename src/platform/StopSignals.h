#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Enrolix {

// SIGTERM and SIGINT taken as a request to stop, for a program without windows: from the moment
// this exists they no longer end the program at once; the program looks at stopped(), or waits
// with waitFor(), and onStop runs (on a thread of its own) when one arrives.
class StopSignals
{
public:
    // Make it before any other thread, so that every thread leaves the signals to it.
    explicit StopSignals(std::function<void()> onStop = {});
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool stopped() const { return m_stopped; }
    // Waits until a stop signal comes or the time is over; true when one came.
    bool waitFor(std::chrono::milliseconds wait);

private:
    void watch();

    std::function<void()> m_onStop;
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_ending{false};
    std::mutex m_mutex;
    std::condition_variable m_signalled;
    std::thread m_watcher;
};

} // namespace Enrolix
