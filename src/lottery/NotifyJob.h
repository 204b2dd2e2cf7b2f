#pragma once

#include "lottery/Notifier.h"
#include "platform/Job.h"

namespace Enrolix {

// Send Notifications as a job on a thread of its own (see JobThread): a run reports its
// progress and its outcome as signals; asked to stop, it ends after the mail being sent.
class NotifyJob final : public Job
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotifyJob)

public:
    // mail is used on the job's thread only while a run goes on.
    explicit NotifyJob(MailSessionFactory& mail);

    // One run on the job's thread, on copies that nothing else changes meanwhile.
    void send(const ClosedEvent& closed, const DrawRecord& draw, const Settings& settings);

Q_SIGNALS:
    // After each mail, total being the mails left at the start.
    void progressed(int done, int total);
    void finished(const Enrolix::NotifyOutcome& outcome);

private:
    MailSessionFactory& m_mail;
};

} // namespace Enrolix

Q_DECLARE_METATYPE(Enrolix::NotifyOutcome)
