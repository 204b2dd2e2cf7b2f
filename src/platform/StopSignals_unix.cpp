#include "platform/StopSignals.h"

#include <csignal>
#include <pthread.h>

namespace Enrolix {
namespace {

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop))
{
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    m_watcher = std::thread([this] { watch(); });
}

StopSignals::~StopSignals()
{
    // A stop signal sent to the watcher alone wakes it at once; it sees the end and leaves.
    m_ending = true;
    pthread_kill(m_watcher.native_handle(), SIGTERM);
    m_watcher.join();
}

void StopSignals::watch()
{
    const sigset_t set = stopSet();
    for (;;) {
        if (sigwaitinfo(&set, nullptr) < 0)
            continue;
        if (m_ending)
            return;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_signalled.notify_all();
        if (m_onStop)
            m_onStop();
    }
}

bool StopSignals::waitFor(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_signalled.wait_for(lock, wait, [this] { return m_stopped.load(); });
}

} // namespace Enrolix
