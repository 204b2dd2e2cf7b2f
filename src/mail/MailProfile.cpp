#include "mail/MailProfile.h"

#include "mail/ProfileKeys.h"
#include "platform/DataFolder.h"
#include "platform/SettingsStore.h"

#include <QProcess>

#include <algorithm>

namespace Enrolix {
namespace {

constexpr int kPasswordCommandMs = 30000;

} // namespace

MailProfile MailProfile::read(const SettingsStore& store, const QString& name, const QString& attendantAddress)
{
    using namespace SettingsKeys;
    MailProfile profile;
    profile.inbox = store.read(name, kMailInbox, kMaildirScheme + defaultInboxFolder());
    profile.outbox = store.read(name, kMailOutbox, kMaildirScheme + defaultOutboxFolder());
    profile.user = store.read(name, kMailUser, {});
    profile.password = store.read(name, kMailPassword, {});
    profile.passwordCommand = store.read(name, kMailPasswordCommand, {});
    profile.from = store.read(name, kMailFrom, {});
    // With neither a from nor a user, replies come from the mailbox the page links write to.
    profile.attendantAddress = attendantAddress;
    profile.caFile = store.read(name, kMailCaFile, {});
    profile.tls = store.read(name, kMailTls, {}).compare(QLatin1String("off"), Qt::CaseInsensitive) != 0;
    profile.auth = store.read(name, kMailAuth, {}).trimmed().toLower();
    profile.secretInKeyring =
        store.read(name, kMailSecret, {}).trimmed().compare(kMailSecretInKeyring, Qt::CaseInsensitive) == 0;
    profile.oauth = {store.read(name, kMailOAuthAuthorizeUrl, {}), store.read(name, kMailOAuthTokenUrl, {}),
                     store.read(name, kMailOAuthScope, {}),        store.read(name, kMailOAuthClientId, {}),
                     store.read(name, kMailOAuthClientSecret, {}), store.read(name, kMailOAuthRefreshToken, {})};
    bool number = false;
    const int connections = store.read(name, kMailSmtpConnections, {}).trimmed().toInt(&number);
    if (number)
        profile.smtpConnections = std::clamp(connections, 1, kMostSmtpConnections);
    return profile;
}

QString MailProfile::defaultInboxFolder()
{
    return defaultDataFolder() + QStringLiteral("mail/inbox");
}

QString MailProfile::defaultOutboxFolder()
{
    return defaultDataFolder() + QStringLiteral("mail/outbox");
}

std::optional<QString> MailProfile::resolvePassword() const
{
    if (passwordCommand.isEmpty())
        return password;
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), passwordCommand});
    if (!process.waitForFinished(kPasswordCommandMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    const qsizetype end = output.indexOf(QLatin1Char('\n'));
    QString line = end < 0 ? output : output.left(end);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

QString MailProfile::sender() const
{
    if (!from.isEmpty())
        return from;
    if (!user.isEmpty())
        return user;
    return attendantAddress;
}

std::optional<MailProfile::SignOnMethod> MailProfile::signOnMethod() const
{
    if (auth.isEmpty() || auth == QLatin1String("password"))
        return SignOnMethod::Password;
    if (auth == QLatin1String("xoauth2"))
        return SignOnMethod::XOAuth2;
    if (auth == QLatin1String("oauthbearer"))
        return SignOnMethod::OAuthBearer;
    return std::nullopt;
}

bool MailProfile::signsInWithRefreshToken() const
{
    const std::optional<SignOnMethod> method = signOnMethod();
    return method && *method != SignOnMethod::Password && passwordCommand.isEmpty() && !oauth.tokenUrl.isEmpty();
}

} // namespace Enrolix
