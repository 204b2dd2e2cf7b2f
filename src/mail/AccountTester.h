#pragma once

#include "mail/AccountCheck.h"

#include <optional>
#include <stop_token>

namespace Enrolix {

// Test Account: tries a profile's inbox and outbox step by step, as the account dialog holds
// the profile (see AccountCheck).
class AccountTester
{
public:
    virtual ~AccountTester() = default;
    // given: a password or refresh token of the dialog that is not saved yet. Returns the refresh
    // token the provider gave in place of the given one, or nothing when it kept it.
    virtual QString test(const MailProfile& profile, const std::optional<QString>& given,
                         const AccountCheck::Report& report, std::stop_token stop) = 0;
};

} // namespace Enrolix
