#include "lottery/NotifyJob.h"

namespace Enrolix {

NotifyJob::NotifyJob(MailSessionFactory& mail) : m_mail(mail)
{
    qRegisterMetaType<Enrolix::NotifyOutcome>();
    qRegisterMetaType<Enrolix::ReleaseOutcome>();
}

void NotifyJob::send(const ClosedEvent& closed, const DrawRecord& draw, const Settings& settings)
{
    Notifier notifier(m_mail, settings, stopToken());
    Q_EMIT finished(notifier.send(closed, draw, [this](int done, int total) { Q_EMIT progressed(done, total); }));
}

void NotifyJob::release(const ClosedEvent& closed, const DrawRecord& draw, const QString& name, const QDateTime& now)
{
    Q_EMIT released(SeatRelease(stopToken()).release(closed, draw, name, now));
}

} // namespace Enrolix
