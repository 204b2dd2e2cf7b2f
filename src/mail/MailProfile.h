#pragma once

#include <QString>

#include <optional>

namespace Enrolix {

class SettingsStore;

// A mail profile as stored in its own section of the settings file.
struct MailProfile
{
    static inline const QString kMaildirScheme = QStringLiteral("maildir:");
    static constexpr int kDefaultSmtpConnections = 3;
    static constexpr int kMostSmtpConnections = 10;

    // How the secret signs on: as a password, or as an OAuth 2.0 access token in one of the two
    // SASL mechanisms that carry one.
    enum class SignOnMethod { Password, XOAuth2, OAuthBearer };

    QString inbox;
    QString outbox;
    QString user;
    QString password;
    QString passwordCommand;
    QString from;
    QString caFile;
    // False when the profile asks for plain connections (tls=off).
    bool tls{true};
    // The auth key as written, in lower case; empty for a password.
    QString auth;
    // The attendant mailbox of the options (RegAttend).
    QString attendantAddress;
    // The password or refresh token is in the desktop keyring (secret=keyring).
    bool secretInKeyring{false};
    // Sign-in with the browser: where the provider authorizes and issues tokens, and the
    // application registered with it. The refresh token is here only without a keyring.
    struct OAuth
    {
        QString authorizeUrl;
        QString tokenUrl;
        QString scope;
        QString clientId;
        QString clientSecret;
        QString refreshToken;
    };
    OAuth oauth;
    // The SMTP connections a pass sends its replies over at once (smtp_connections).
    int smtpConnections{kDefaultSmtpConnections};

    // The profile named name; an inbox or outbox it does not set is the embedded Maildir under
    // the per-user data folder. attendantAddress: the attendant mailbox of the options, the
    // sender of last resort.
    static MailProfile read(const SettingsStore& store, const QString& name, const QString& attendantAddress);

    static QString defaultInboxFolder();
    static QString defaultOutboxFolder();

    // The password, or the first output line of password_command when one is set; nothing
    // when the command fails.
    std::optional<QString> resolvePassword() const;

    // The address replies come from.
    QString sender() const;

    // The method that auth names; nothing when it names none.
    std::optional<SignOnMethod> signOnMethod() const;

    // Every pass trades a refresh token for its access token: a token method with a token
    // endpoint and no password_command of its own.
    bool signsInWithRefreshToken() const;
};

} // namespace Enrolix
