#include "admin/LockRetry.h"

#include "events/WorkingFolderLock.h"

#include <QEvent>

namespace Enrolix {
namespace {

// Short enough that a lock let go is taken at once, long enough to cost nothing meanwhile.
constexpr std::chrono::milliseconds kRetryInterval{50};

} // namespace

LockRetry::LockRetry(std::function<bool()> ownPassRunning, QObject* parent)
    : QObject(parent), m_ownPassRunning(std::move(ownPassRunning))
{
    // Single shot, started again only after a try: a try that shows a box is never entered twice.
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRetryInterval);
    connect(&m_timer, &QTimer::timeout, this, &LockRetry::retry);
    if (parent)
        parent->installEventFilter(this);
}

void LockRetry::run(Action action)
{
    if (m_waiting)
        return;
    if (m_ownPassRunning()) {
        Q_EMIT refused();
        return;
    }
    if (action())
        return;
    m_action = std::move(action);
    m_waiting = true;
    m_since.start();
    Q_EMIT waitingChanged(true);
    m_timer.start();
}

void LockRetry::cancel()
{
    m_timer.stop();
    stopWaiting();
}

bool LockRetry::eventFilter(QObject* watched, QEvent* event)
{
    // Not when the window is merely minimised.
    if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous())
        cancel();
    return QObject::eventFilter(watched, event);
}

void LockRetry::retry()
{
    if (!m_waiting)
        return;
    // A copy: the action may end the wait, and a new one may start, before it returns.
    const Action action = m_action;
    const bool done = action();
    if (!done && !m_since.hasExpired(std::chrono::milliseconds(WorkingFolderLock::kWindowWait).count())) {
        m_timer.start();
        return;
    }
    stopWaiting();
    if (!done)
        Q_EMIT refused();
}

void LockRetry::stopWaiting()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    Q_EMIT waitingChanged(false);
}

} // namespace Enrolix
