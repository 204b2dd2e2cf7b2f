#pragma once

#include "lottery/Notifier.h"
#include "lottery/SeatRelease.h"
#include "platform/Job.h"

namespace Enrolix {

// Send Notifications, and releasing a seat, as a job on a thread of its own (see JobThread): a
// run reports its progress and its outcome as signals; asked to stop, it ends after the mail
// being sent. A release posted while a run goes on waits for it on this thread, one posted
// while another program sends waits for the event's lock.
class NotifyJob final : public Job
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotifyJob)

public:
    // mail is used on the job's thread only while a run goes on.
    explicit NotifyJob(MailSessionFactory& mail);

    // One run on the job's thread, on copies that nothing else changes meanwhile.
    void send(const ClosedEvent& closed, const DrawRecord& draw, const Settings& settings);
    // One release on the job's thread, made at now.
    void release(const ClosedEvent& closed, const DrawRecord& draw, const QString& name, const QDateTime& now);

Q_SIGNALS:
    // After each mail, total being the mails left at the start.
    void progressed(int done, int total);
    void finished(const Enrolix::NotifyOutcome& outcome);
    void released(const Enrolix::ReleaseOutcome& outcome);

private:
    MailSessionFactory& m_mail;
};

} // namespace Enrolix

Q_DECLARE_METATYPE(Enrolix::NotifyOutcome)
Q_DECLARE_METATYPE(Enrolix::ReleaseOutcome)
