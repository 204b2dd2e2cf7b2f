#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace Enrolix::Stopping {

// Waits until the time comes or a stop is asked, whichever is first; true when one was asked.
inline bool waitUntil(const std::stop_token& stop, std::chrono::steady_clock::time_point until)
{
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock<std::mutex> lock(mutex);
    return woken.wait_until(lock, stop, until, [&stop] { return stop.stop_requested(); });
}

} // namespace Enrolix::Stopping
