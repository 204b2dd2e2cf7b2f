#include "mail/AccountTestJob.h"

namespace Enrolix {

AccountTestJob::AccountTestJob(AccountTester& tester) : m_tester(tester)
{
    qRegisterMetaType<Enrolix::AccountStep>();
}

void AccountTestJob::test(const MailProfile& profile, const std::optional<QString>& given)
{
    const QString rotated = m_tester.test(
        profile, given, [this](const AccountStep& step) { Q_EMIT stepEnded(step); }, stopToken());
    Q_EMIT finished(rotated);
}

} // namespace Enrolix
