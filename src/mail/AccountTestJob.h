#pragma once

#include "mail/AccountStep.h"
#include "mail/AccountTester.h"
#include "platform/Job.h"

namespace Enrolix {

// Test Account as a job on a thread of its own (see JobThread): each step is reported as it
// ends; asked to stop, the step under way gives up waiting for its server.
class AccountTestJob final : public Job
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountTestJob)

public:
    explicit AccountTestJob(AccountTester& tester);

    // One test on the job's thread; given: the dialog's secret that is not saved yet.
    void test(const MailProfile& profile, const std::optional<QString>& given);

Q_SIGNALS:
    void stepEnded(const Enrolix::AccountStep& step);
    // rotatedRefreshToken: the refresh token the provider gave in place of the given one.
    void finished(const QString& rotatedRefreshToken);

private:
    AccountTester& m_tester;
};

} // namespace Enrolix
