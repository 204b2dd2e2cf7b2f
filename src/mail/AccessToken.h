#pragma once

#include "mail/FormPost.h"
#include "mail/MailProfile.h"

#include <optional>

namespace Enrolix {

// Trades an OAuth 2.0 refresh token for an access token at the provider's token endpoint
// (RFC 6749, section 6).
namespace AccessToken {

struct Grant
{
    QString accessToken;
    // The refresh token to keep from now on when the provider rotated it; empty when it did not.
    QString rotatedRefreshToken;
    // Why there is no access token; the sign-in has expired when the provider refused the token.
    QString failure;
};

Grant refresh(FormPost& post, const MailProfile::OAuth& client, const QString& refreshToken,
              const TransportLimits& limits, std::stop_token stop);

} // namespace AccessToken
} // namespace Enrolix
