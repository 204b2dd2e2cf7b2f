#include "attendant/AttendantEngine.h"

#include "attendant/PassListener.h"
#include "settings/Settings.h"

namespace Enrolix {

// Lives on the worker thread: runs the passes and turns their reports into signals.
class AttendantEngine::Worker final : public Job, public PassListener
{
    Q_OBJECT

public:
    explicit Worker(MailSessionFactory& mail) : m_pass(m_settings, mail, *this, stopToken()) {}

    void run(const Settings& settings)
    {
        m_settings = settings;
        Q_EMIT ended(m_pass.run());
    }

    void statusChanged(const QString& status) override { Q_EMIT reportedStatus(status); }
    void replySent(qint16 requestsProcessed) override { Q_EMIT reportedReply(requestsProcessed); }
    void connectionFailed(qint16 connectionFailures, const QString& reason) override
    {
        Q_EMIT reportedFailure(connectionFailures, reason);
    }

Q_SIGNALS:
    void reportedStatus(const QString& status);
    void reportedReply(qint16 requestsProcessed);
    void reportedFailure(qint16 connectionFailures, const QString& reason);
    void ended(const Enrolix::PassReport& report);

private:
    Settings m_settings;
    ProcessingPass m_pass;
};

AttendantEngine::AttendantEngine(const Settings& settings, MailSessionFactory& mail, QObject* parent)
    : QObject(parent), m_settings(settings), m_passes(std::make_unique<Worker>(mail), QStringLiteral("attendant pass"))
{
    qRegisterMetaType<Enrolix::PassReport>();
    const Worker* worker = &m_passes.job();
    connect(worker, &Worker::reportedStatus, this, &AttendantEngine::statusChanged);
    connect(worker, &Worker::reportedReply, this, &AttendantEngine::replySent);
    connect(worker, &Worker::reportedFailure, this, &AttendantEngine::connectionFailed);
    connect(worker, &Worker::ended, this, [this](const PassReport& report) {
        m_running = false;
        Q_EMIT passEnded(report);
    });
}

AttendantEngine::~AttendantEngine() = default;

bool AttendantEngine::startPass()
{
    if (m_running)
        return false;
    m_running = true;
    m_passes.post([settings = m_settings](Worker& worker) { worker.run(settings); });
    return true;
}

} // namespace Enrolix

#include "AttendantEngine.moc"
