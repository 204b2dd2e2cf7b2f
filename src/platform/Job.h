#pragma once

#include <QObject>

#include <stop_token>

namespace Enrolix {

// Background work of the program: an object that lives on a thread of its own (see JobThread)
// and reports through its own signals, which reach the owner's objects queued, on the owner's
// thread. Asked to stop, the work ends soon: what it hands the stop token to gives up waiting.
class Job : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Job)

public:
    Job() = default;

    // From any thread; for good: work started later ends at once too.
    void requestStop() { m_stop.request_stop(); }

protected:
    // Stopped once requestStop() was called: for the work to hand on.
    std::stop_token stopToken() const { return m_stop.get_token(); }

private:
    std::stop_source m_stop;
};

} // namespace Enrolix
