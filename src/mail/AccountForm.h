#pragma once

#include "mail/MailProfile.h"

#include <QString>

#include <optional>

namespace Enrolix {

// The mail account as the account dialog shows it: a provider, the two servers with their
// ports and security, the inbox's folder, and how the account signs on. Besides the fields, it
// keeps what the dialog does not show (the provider's OAuth endpoints, a Maildir's folders, the
// SASL mechanism) so that a Save writes them back as they were.
struct AccountForm
{
    enum class Provider { ThisComputer, Gmail, Microsoft, Other };
    enum class Security { Tls, StartTls, None };
    enum class SignOn { Password, OAuth, Command };
    // The fields a Save or a Test may find empty.
    enum class Field { Address, IncomingServer, Folder, OutgoingServer, UserName, Password, Command, ClientId, SignIn };

    Provider provider{Provider::ThisComputer};
    QString address;
    QString incomingServer;
    int incomingPort{993};
    Security incomingSecurity{Security::Tls};
    QString folder{QStringLiteral("INBOX")};
    QString outgoingServer;
    int outgoingPort{587};
    Security outgoingSecurity{Security::StartTls};
    QString user;
    SignOn signOn{SignOn::Password};
    // Typed; empty keeps the secret stored for the loaded user.
    QString password;
    QString command;
    MailProfile::OAuth oauth;
    // Obtained by a sign-in with the browser and not saved yet.
    QString refreshToken;

    // As loaded: the Maildir folders, the auth key, and the secret stored for which user and
    // sign-on (secret=keyring, or a refresh token in the file).
    QString maildirInbox;
    QString maildirOutbox;
    QString caFile;
    QString mechanism;
    QString loadedUser;
    SignOn loadedSignOn{SignOn::Password};
    bool secretInKeyring{false};

    // Fills in the provider's servers, ports, security and OAuth endpoints and scope, and the
    // sign-on of a provider that takes no password.
    void applyPreset(Provider chosen);

    // The first required field that is empty, in the dialog's order.
    std::optional<Field> missing() const;
    // A plain connection (none) beside STARTTLS: tls=off holds for the whole profile, so the
    // STARTTLS server would be reached without encryption too.
    bool mixesPlainAndStartTls() const;
    // Whether the keyring or file holds a secret for the user and sign-on as the form names them.
    bool hasStoredSecret() const;

    // The profile as the form describes it, for a Test before any Save.
    MailProfile profile() const;
    // The secret the form holds and no file or keyring does yet: the typed password or the new
    // refresh token.
    std::optional<QString> givenSecret() const;

    // The inbox and outbox addresses of the servers, or of the Maildir folders (the embedded
    // default ones unless the profile named others).
    QString inboxAddress() const;
    QString outboxAddress() const;
};

} // namespace Enrolix
