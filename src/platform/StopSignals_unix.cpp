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

StopSignals::StopSignals()
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
        m_stop.request_stop();
    }
}

} // namespace Enrolix
