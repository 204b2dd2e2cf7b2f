#include "platform/mail/WatchLoop.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <limits>

namespace Enrolix {

WatchLoop::WatchLoop(std::unique_ptr<WatchSource> source, Listener& listener, const WatchTimes& times)
    : m_source(std::move(source)), m_listener(listener), m_times(times), m_wake(::eventfd(0, EFD_CLOEXEC))
{
    m_thread = std::thread([this] { run(); });
}

WatchLoop::~WatchLoop()
{
    m_ending = true;
    const quint64 one = 1;
    if (::write(m_wake, &one, sizeof one) < 0)
        qWarning("the inbox watcher could not be woken");
    m_source->interrupt();
    m_thread.join();
    ::close(m_wake);
}

bool WatchLoop::readableWithin(int descriptor, std::chrono::milliseconds time)
{
    pollfd entry{descriptor, POLLIN, 0};
    return ::poll(&entry, 1, int(std::min<qint64>(time.count(), std::numeric_limits<int>::max()))) > 0;
}

void WatchLoop::run()
{
    // A write to a connection the server closed fails with EPIPE on this thread, instead of a SIGPIPE
    // that would end the program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    WatchTimes::Duration pause = m_times.firstRetry;
    bool told = false;
    while (!m_ending) {
        if (m_source->open(m_wake)) {
            const Watching how = m_source->watching();
            if (!told)
                m_listener.watching(how);
            told = true;
            if (how == Watching::Nothing) {
                m_source->close();
                return;
            }
            pause = m_times.firstRetry;
            m_listener.arrived();
            const bool woken = m_source->wait(m_wake, [this] { m_listener.arrived(); });
            m_source->close();
            if (woken)
                return;
        } else {
            m_source->close();
        }
        // A failure that the end of the watcher caused is nobody's concern.
        if (m_ending)
            return;
        m_listener.interrupted(m_source->failure(), pause);
        if (readableWithin(m_wake, pause))
            return;
        pause = std::min(pause * 2, m_times.longestRetry);
    }
}

} // namespace Enrolix
