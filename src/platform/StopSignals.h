#pragma once

#include <atomic>
#include <stop_token>
#include <thread>

namespace Enrolix {

// SIGTERM and SIGINT taken as a request to stop, for a program without windows: from the moment
// this exists they no longer end the program at once; the program hands token() to its work
// and looks at stopped().
class StopSignals
{
public:
    // Make it before any other thread, so that every thread leaves the signals to it.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool stopped() const { return m_stop.stop_requested(); }
    // Stopped once a stop signal came.
    std::stop_token token() const { return m_stop.get_token(); }

private:
    void watch();

    std::stop_source m_stop;
    std::atomic<bool> m_ending{false};
    std::thread m_watcher;
};

} // namespace Enrolix
