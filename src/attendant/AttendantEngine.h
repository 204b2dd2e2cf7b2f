#pragma once

#include "attendant/ProcessingPass.h"
#include "platform/JobThread.h"

#include <QObject>

namespace Enrolix {

class MailSessionFactory;
struct Settings;

// The processing pass of the desktop program, on a worker thread of its own, so that no window
// freezes while a server is slow, a password command waits for a keyring or a thousand mails
// are answered. What the pass reports arrives as signals, in the order reported, on the thread
// that made the engine. The pass works on a copy of the settings taken when it starts.
class AttendantEngine final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttendantEngine)

public:
    // mail is used on the worker thread only while a pass runs.
    AttendantEngine(const Settings& settings, MailSessionFactory& mail, QObject* parent = nullptr);
    // Asks a pass under way to stop after the mail being handled, and waits for it.
    ~AttendantEngine() override;

    // Starts a pass; false, and nothing happens, while one is still running.
    bool startPass();
    bool running() const { return m_running; }

Q_SIGNALS:
    void statusChanged(const QString& status);
    void replySent(qint16 requestsProcessed);
    void connectionFailed(qint16 connectionFailures, const QString& reason);
    void passEnded(const Enrolix::PassReport& report);

private:
    class Worker;

    const Settings& m_settings;
    JobThread<Worker> m_passes;
    bool m_running{false};
};

} // namespace Enrolix

Q_DECLARE_METATYPE(Enrolix::PassReport)
