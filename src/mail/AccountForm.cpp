#include "mail/AccountForm.h"

#include <QUrl>

#include <array>

namespace Enrolix {
namespace {

using Provider = AccountForm::Provider;
using Security = AccountForm::Security;
using SignOn = AccountForm::SignOn;

struct Preset
{
    Provider provider;
    const char* incomingServer;
    int incomingPort;
    Security incomingSecurity;
    const char* outgoingServer;
    int outgoingPort;
    Security outgoingSecurity;
    // Nothing: the sign-on stays as it was.
    std::optional<SignOn> signOn;
    const char* authorizeUrl;
    const char* tokenUrl;
    const char* scope;
};

// The providers' own settings for mail programs that sign in with the browser.
const std::array<Preset, 4> kPresets{{
    {Provider::ThisComputer, "", 993, Security::Tls, "", 587, Security::StartTls, std::nullopt, "", "", ""},
    {Provider::Gmail, "imap.gmail.com", 993, Security::Tls, "smtp.gmail.com", 465, Security::Tls, SignOn::OAuth,
     "https://accounts.google.com/o/oauth2/v2/auth", "https://oauth2.googleapis.com/token", "https://mail.google.com/"},
    {Provider::Microsoft, "outlook.office365.com", 993, Security::Tls, "smtp.office365.com", 587, Security::StartTls,
     SignOn::OAuth, "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
     "https://login.microsoftonline.com/common/oauth2/v2.0/token",
     "https://outlook.office.com/IMAP.AccessAsUser.All https://outlook.office.com/SMTP.Send offline_access"},
    {Provider::Other, "", 993, Security::Tls, "", 587, Security::StartTls, std::nullopt, "", "", ""},
}};

QString schemeOf(const char* secure, const char* plain, Security security)
{
    return QLatin1String(security == Security::Tls ? secure : plain);
}

} // namespace

void AccountForm::applyPreset(Provider chosen)
{
    const Preset& preset = kPresets.at(std::size_t(chosen));
    provider = chosen;
    incomingServer = QLatin1String(preset.incomingServer);
    incomingPort = preset.incomingPort;
    incomingSecurity = preset.incomingSecurity;
    outgoingServer = QLatin1String(preset.outgoingServer);
    outgoingPort = preset.outgoingPort;
    outgoingSecurity = preset.outgoingSecurity;
    signOn = preset.signOn.value_or(signOn);
    oauth.authorizeUrl = QLatin1String(preset.authorizeUrl);
    oauth.tokenUrl = QLatin1String(preset.tokenUrl);
    oauth.scope = QLatin1String(preset.scope);
}

std::optional<AccountForm::Field> AccountForm::missing() const
{
    if (provider == Provider::ThisComputer)
        return std::nullopt;
    const std::array<std::pair<Field, bool>, 6> required{{
        {Field::Address, address.trimmed().isEmpty()},
        {Field::IncomingServer, incomingServer.trimmed().isEmpty()},
        {Field::Folder, folder.trimmed().isEmpty()},
        {Field::OutgoingServer, outgoingServer.trimmed().isEmpty()},
        {Field::UserName, user.trimmed().isEmpty()},
        {Field::Password, signOn == SignOn::Password && password.isEmpty() && !hasStoredSecret()},
    }};
    for (const auto& [field, empty] : required) {
        if (empty)
            return field;
    }
    if (signOn == SignOn::Command && command.trimmed().isEmpty())
        return Field::Command;
    if (signOn == SignOn::OAuth && oauth.clientId.trimmed().isEmpty())
        return Field::ClientId;
    if (signOn == SignOn::OAuth && refreshToken.isEmpty() && !hasStoredSecret())
        return Field::SignIn;
    return std::nullopt;
}

bool AccountForm::hasStoredSecret() const
{
    if (user.trimmed() != loadedUser || signOn != loadedSignOn)
        return false;
    return secretInKeyring || (signOn == SignOn::OAuth && !oauth.refreshToken.isEmpty());
}

bool AccountForm::mixesPlainAndStartTls() const
{
    if (provider == Provider::ThisComputer)
        return false;
    const bool plain = incomingSecurity == Security::None || outgoingSecurity == Security::None;
    return plain && (incomingSecurity == Security::StartTls || outgoingSecurity == Security::StartTls);
}

QString AccountForm::inboxAddress() const
{
    if (provider == Provider::ThisComputer)
        return maildirInbox.isEmpty() ? MailProfile::kMaildirScheme + MailProfile::defaultInboxFolder() : maildirInbox;
    return QStringLiteral("%1://%2:%3/%4")
        .arg(schemeOf("imaps", "imap", incomingSecurity), incomingServer.trimmed())
        .arg(incomingPort)
        .arg(QString::fromUtf8(QUrl::toPercentEncoding(folder.trimmed())));
}

QString AccountForm::outboxAddress() const
{
    if (provider == Provider::ThisComputer)
        return maildirOutbox.isEmpty() ? MailProfile::kMaildirScheme + MailProfile::defaultOutboxFolder()
                                       : maildirOutbox;
    return QStringLiteral("%1://%2:%3")
        .arg(schemeOf("smtps", "smtp", outgoingSecurity), outgoingServer.trimmed())
        .arg(outgoingPort);
}

MailProfile AccountForm::profile() const
{
    MailProfile profile;
    profile.inbox = inboxAddress();
    profile.outbox = outboxAddress();
    profile.user = user.trimmed();
    profile.from = address.trimmed();
    profile.tls = incomingSecurity != Security::None && outgoingSecurity != Security::None;
    profile.oauth = oauth;
    profile.caFile = caFile;
    switch (signOn) {
    case SignOn::Password:
        profile.secretInKeyring = hasStoredSecret();
        break;
    case SignOn::OAuth:
        profile.auth = mechanism == QLatin1String("oauthbearer") ? mechanism : QStringLiteral("xoauth2");
        profile.secretInKeyring = hasStoredSecret() && secretInKeyring;
        break;
    case SignOn::Command:
        profile.auth = mechanism;
        profile.passwordCommand = command;
        break;
    }
    return profile;
}

std::optional<QString> AccountForm::givenSecret() const
{
    if (signOn == SignOn::Password && !password.isEmpty())
        return password;
    if (signOn == SignOn::OAuth && !refreshToken.isEmpty())
        return refreshToken;
    return std::nullopt;
}

} // namespace Enrolix
