#include "mail/ProfileSecret.h"

#include "mail/AccessToken.h"
#include "mail/MailTexts.h"
#include "mail/ProfileKeys.h"
#include "platform/Keyring.h"
#include "platform/SettingsStore.h"

namespace Enrolix {

ProfileSecret::ProfileSecret(Keyring& keyring, FormPost& post, const TransportLimits& limits)
    : m_keyring(keyring), m_post(post), m_limits(limits)
{
}

ProfileSecret::Resolved ProfileSecret::resolve(const MailProfile& profile, const std::optional<QString>& given,
                                               std::stop_token stop, SettingsStore* store, const QString& name)
{
    if (!profile.signOnMethod())
        return {std::nullopt, QStringLiteral("auth=%1: not password, xoauth2 or oauthbearer").arg(profile.auth), {}};
    if (profile.signsInWithRefreshToken())
        return accessToken(profile, given, std::move(stop), store, name);
    if (given)
        return {given, {}, {}};
    if (!profile.passwordCommand.isEmpty() || !profile.secretInKeyring) {
        const std::optional<QString> password = profile.resolvePassword();
        if (!password)
            return {std::nullopt, QStringLiteral("the password command of the mail profile failed"), {}};
        return {password, {}, {}};
    }
    const std::optional<QString> stored = m_keyring.read(profile.user);
    if (!stored)
        return {std::nullopt, MailTexts::keyringHoldsNoSecret(profile.user), {}};
    return {stored, {}, {}};
}

ProfileSecret::Resolved ProfileSecret::accessToken(const MailProfile& profile, const std::optional<QString>& given,
                                                   std::stop_token stop, SettingsStore* store, const QString& name)
{
    QString refreshToken = given.value_or(profile.oauth.refreshToken);
    const bool inKeyring = !given && profile.secretInKeyring;
    if (inKeyring) {
        const std::optional<QString> stored = m_keyring.read(profile.user);
        if (!stored)
            return {std::nullopt, MailTexts::keyringHoldsNoSecret(profile.user), {}};
        refreshToken = *stored;
    }
    if (refreshToken.isEmpty())
        return {std::nullopt, MailTexts::kSignInExpired, {}};
    const AccessToken::Grant grant =
        AccessToken::refresh(m_post, profile.oauth, refreshToken, m_limits, std::move(stop));
    if (!grant.failure.isEmpty())
        return {std::nullopt, grant.failure, {}};
    // The provider may accept the old refresh token no more: the new one replaces it at once.
    if (!grant.rotatedRefreshToken.isEmpty()) {
        QString problem;
        // Said now, rather than as an expired sign-in at the next pass, which the old token
        // would meet once the provider refuses it.
        if (inKeyring && !m_keyring.write(profile.user, grant.rotatedRefreshToken, problem))
            return {std::nullopt, MailTexts::renewedSignInNotKept(profile.user, problem), {}};
        if (!inKeyring && !given && store)
            store->write(name, SettingsKeys::kMailOAuthRefreshToken, grant.rotatedRefreshToken);
    }
    return {grant.accessToken, {}, grant.rotatedRefreshToken};
}

} // namespace Enrolix
