#pragma once

#include "mail/FormPost.h"
#include "mail/MailProfile.h"

#include <optional>
#include <stop_token>

namespace Enrolix {

class Keyring;
class SettingsStore;

// The password or access token a profile signs on with, wherever it is kept: in the settings
// file, behind a password_command, in the desktop keyring, or as an OAuth 2.0 refresh token
// that is traded for an access token at every sign-on. A refresh token the provider rotates is
// kept where the old one was.
class ProfileSecret
{
public:
    struct Resolved
    {
        // Nothing when it cannot be had, and failure says why.
        std::optional<QString> secret;
        QString failure;
        // The refresh token the provider gave in place of the one used; empty when it kept it.
        QString rotatedRefreshToken;
    };

    ProfileSecret(Keyring& keyring, FormPost& post, const TransportLimits& limits);

    // given: a password or refresh token not saved yet (the account dialog's), used in place
    // of the stored one. store and name: the profile's section, where a rotated refresh token
    // kept in the file is written back.
    Resolved resolve(const MailProfile& profile, const std::optional<QString>& given, std::stop_token stop,
                     SettingsStore* store = nullptr, const QString& name = {});

private:
    Resolved accessToken(const MailProfile& profile, const std::optional<QString>& given, std::stop_token stop,
                         SettingsStore* store, const QString& name);

    Keyring& m_keyring;
    FormPost& m_post;
    TransportLimits m_limits;
};

} // namespace Enrolix
