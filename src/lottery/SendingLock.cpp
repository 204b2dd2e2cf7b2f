#include "lottery/SendingLock.h"

#include "lottery/ClosedEvent.h"

namespace Enrolix {
namespace {

// Short enough that a stop is seen at once, long enough to cost nothing while a run goes on.
constexpr int kWaitStepMs = 100;

} // namespace

SendingLock::SendingLock(const ClosedEvent& closed) : m_path(closed.sentPath + QStringLiteral(".lock")), m_lock(m_path)
{
    m_lock.setStaleLockTime(0);
}

bool SendingLock::tryTake()
{
    return m_lock.tryLock(0);
}

bool SendingLock::take(std::stop_token stop)
{
    // Tried before the stop is looked at: a free lock is taken even by a release asked to stop.
    while (!m_lock.tryLock(kWaitStepMs)) {
        if (!busy() || stop.stop_requested())
            return false;
    }
    return true;
}

} // namespace Enrolix
