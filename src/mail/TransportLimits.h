#pragma once

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace Enrolix {

// How long the mail servers of one pass may keep it waiting. Distance is no trouble: a server
// that answers every command, however late within the silence limit, is healthy. A silent server
// fails its request at once, and every later request of that connection; a trickling one spends
// the trouble budget of the pass.
struct TransportLimits
{
    using Duration = std::chrono::milliseconds;
    // Reaching the server, and TLS and sign-on on top, in all: a handful of round trips.
    Duration connect{std::chrono::seconds(30)};
    // How long a server may send nothing while it is expected to answer or to take what is sent.
    Duration silence{std::chrono::seconds(10)};
    // While a server sends an answer (or takes a message), the time it may take without counting
    // as trouble: a grace, plus what its bytes need at the slowest rate that counts as working.
    // The wait for an answer to begin is not part of it.
    Duration grace{std::chrono::seconds(1)};
    qint64 slowestBytesPerSecond{16 * 1024};
    // Troubled time (transfers over their allowance) that all connections of a pass may spend
    // together before the pass gives up on them.
    Duration troubleBudget{std::chrono::seconds(20)};
    // Once its pass or run is asked to stop, how long a request may still take: a healthy
    // server answers within it, a silent one is given up as lost.
    Duration afterStop{std::chrono::milliseconds(500)};

    // A limit in whole seconds, for the libraries that count so: rounded up, and one at least.
    static long wholeSeconds(Duration limit)
    {
        using std::chrono::seconds;
        return std::max(1L, long(std::chrono::duration_cast<seconds>(limit + std::chrono::milliseconds(999)).count()));
    }
};

// The troubled time a pass has spent so far, shared by its connections, which may run at once.
class TroubleClock
{
public:
    explicit TroubleClock(TransportLimits::Duration budget) : m_budget(budget) {}

    // Whether a request troubled for so long now would overrun the budget.
    bool overruns(TransportLimits::Duration current) const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_spent + current > m_budget;
    }
    void add(TransportLimits::Duration troubled)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_spent += troubled;
    }

private:
    mutable std::mutex m_mutex;
    const TransportLimits::Duration m_budget;
    TransportLimits::Duration m_spent{0};
};

} // namespace Enrolix
