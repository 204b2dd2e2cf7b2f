#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace Enrolix {

// Runs a window's action that needs the working folder's lock without ever blocking the window.
// The action tries the lock once and says whether it got through; while another process holds
// the lock the action is tried again from a timer, for WorkingFolderLock::kWindowWait in all.
// While this program's own pass runs nothing is tried: that pass may hold the folder far longer.
// A waiting action is given up when its window (the parent) is left, hidden for another one.
class LockRetry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LockRetry)

public:
    // Returns false when the lock was busy and the action did nothing.
    using Action = std::function<bool()>;

    LockRetry(std::function<bool()> ownPassRunning, QObject* parent);

    // Runs the action at once, refuses it, or starts waiting. Ignored while an action waits.
    void run(Action action);
    // Gives up a waiting action without running it again.
    void cancel();

Q_SIGNALS:
    void waitingChanged(bool waiting);
    // The own pass runs, or the lock stayed busy for the whole wait: the action did nothing.
    void refused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retry();
    void stopWaiting();

    std::function<bool()> m_ownPassRunning;
    Action m_action;
    QTimer m_timer;
    QElapsedTimer m_since;
    bool m_waiting{false};
};

} // namespace Enrolix
