#include "mail/AccountSettings.h"

#include "mail/ProfileKeys.h"
#include "platform/Keyring.h"
#include "platform/SettingsStore.h"

#include <QUrl>

namespace Enrolix::AccountSettings {
namespace {

using namespace SettingsKeys;
using Provider = AccountForm::Provider;
using Security = AccountForm::Security;
using SignOn = AccountForm::SignOn;

struct Server
{
    QString host;
    int port{0};
    Security security{Security::Tls};
    QString folder;
};

// A server address of the profile; secure: its scheme with TLS from the start.
Server serverOf(const QString& location, const char* secure, int securePort, int plainPort, bool tls)
{
    const QUrl url(location);
    Server server;
    const bool implicit = url.scheme().compare(QLatin1String(secure), Qt::CaseInsensitive) == 0;
    server.security = implicit ? Security::Tls : (tls ? Security::StartTls : Security::None);
    server.host = url.host();
    server.port = url.port(implicit ? securePort : plainPort);
    QString path = url.path();
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    server.folder = path.isEmpty() ? QStringLiteral("INBOX") : path;
    return server;
}

Provider providerOf(const MailProfile& profile, const QString& incomingHost)
{
    if (profile.inbox.startsWith(MailProfile::kMaildirScheme))
        return Provider::ThisComputer;
    if (incomingHost.compare(QLatin1String("imap.gmail.com"), Qt::CaseInsensitive) == 0)
        return Provider::Gmail;
    if (incomingHost.compare(QLatin1String("outlook.office365.com"), Qt::CaseInsensitive) == 0)
        return Provider::Microsoft;
    return Provider::Other;
}

// Writes the value, or takes the key out when it is empty.
void put(SettingsStore& store, const QString& profile, const QString& key, const QString& value)
{
    if (value.isEmpty())
        store.remove(profile, key);
    else
        store.write(profile, key, value);
}

} // namespace

AccountForm load(const SettingsStore& store, const QString& name)
{
    const MailProfile profile = MailProfile::read(store, name, {});
    AccountForm form;
    const Server incoming = serverOf(profile.inbox, "imaps", 993, 143, profile.tls);
    const Server outgoing = serverOf(profile.outbox, "smtps", 465, 25, profile.tls);
    form.provider = providerOf(profile, incoming.host);
    form.address = profile.from.isEmpty() ? profile.user : profile.from;
    if (form.provider == Provider::ThisComputer) {
        form.maildirInbox = profile.inbox;
        form.maildirOutbox = profile.outbox;
    } else {
        form.incomingServer = incoming.host;
        form.incomingPort = incoming.port;
        form.incomingSecurity = incoming.security;
        form.folder = incoming.folder;
        form.outgoingServer = outgoing.host;
        form.outgoingPort = outgoing.port;
        form.outgoingSecurity = outgoing.security;
    }
    form.user = profile.user;
    form.loadedUser = profile.user;
    form.mechanism = profile.auth;
    form.caFile = profile.caFile;
    form.oauth = profile.oauth;
    form.command = profile.passwordCommand;
    form.secretInKeyring = profile.secretInKeyring;
    if (!profile.passwordCommand.isEmpty())
        form.signOn = SignOn::Command;
    else if (profile.signOnMethod().value_or(MailProfile::SignOnMethod::Password) !=
             MailProfile::SignOnMethod::Password)
        form.signOn = SignOn::OAuth;
    // A password in the file is shown as typed, so the next Save moves it into the keyring.
    else if (!profile.secretInKeyring)
        form.password = profile.password;
    form.loadedSignOn = form.signOn;
    return form;
}

Saved save(SettingsStore& store, const QString& name, const AccountForm& form, Keyring& keyring)
{
    Saved saved;
    const std::optional<QString> secret = form.givenSecret();
    const QString user = form.user.trimmed();
    bool inKeyring = false;
    if (secret && keyring.available()) {
        // Before anything in the file changes: a refusal leaves the profile as it was.
        if (!keyring.write(user, *secret, saved.failure)) {
            saved.ok = false;
            return saved;
        }
        inKeyring = true;
    }
    saved.secretInFile = secret && !inKeyring;

    put(store, name, kMailInbox, form.inboxAddress());
    put(store, name, kMailOutbox, form.outboxAddress());
    put(store, name, kMailUser, user);
    put(store, name, kMailFrom, form.address.trimmed());
    put(store, name, kMailTls, form.profile().tls ? QString() : QStringLiteral("off"));
    switch (form.signOn) {
    case SignOn::Password:
        store.remove(name, kMailAuth);
        store.remove(name, kMailPasswordCommand);
        store.remove(name, kMailOAuthRefreshToken);
        if (secret) {
            put(store, name, kMailSecret, inKeyring ? kMailSecretInKeyring : QString());
            put(store, name, kMailPassword, inKeyring ? QString() : *secret);
        }
        break;
    case SignOn::OAuth:
        store.write(name, kMailAuth, form.profile().auth);
        store.remove(name, kMailPasswordCommand);
        store.remove(name, kMailPassword);
        put(store, name, kMailOAuthAuthorizeUrl, form.oauth.authorizeUrl.trimmed());
        put(store, name, kMailOAuthTokenUrl, form.oauth.tokenUrl.trimmed());
        put(store, name, kMailOAuthScope, form.oauth.scope.trimmed());
        put(store, name, kMailOAuthClientId, form.oauth.clientId.trimmed());
        put(store, name, kMailOAuthClientSecret, form.oauth.clientSecret.trimmed());
        if (secret) {
            put(store, name, kMailSecret, inKeyring ? kMailSecretInKeyring : QString());
            put(store, name, kMailOAuthRefreshToken, inKeyring ? QString() : *secret);
        }
        break;
    case SignOn::Command:
        // The auth key stays: it says whether the command prints a password or an access token.
        store.write(name, kMailPasswordCommand, form.command.trimmed());
        store.remove(name, kMailSecret);
        store.remove(name, kMailPassword);
        store.remove(name, kMailOAuthRefreshToken);
        break;
    }
    return saved;
}

} // namespace Enrolix::AccountSettings
