#pragma once

#include <QString>

// The keys of the settings file that mail owns. Mail profiles: one section per profile, named by
// the profile; the attendant and the notifications use the one below. The options are in
// settings/SettingsKeys.h.
namespace Enrolix::SettingsKeys {

inline const QString kMailProfileName = QStringLiteral("MS Exchange Settings");
inline const QString kMailInbox = QStringLiteral("inbox");
inline const QString kMailOutbox = QStringLiteral("outbox");
inline const QString kMailUser = QStringLiteral("user");
inline const QString kMailPassword = QStringLiteral("password");
inline const QString kMailPasswordCommand = QStringLiteral("password_command");
inline const QString kMailFrom = QStringLiteral("from");
inline const QString kMailCaFile = QStringLiteral("ca_file");
// "off": a plain imap:// or smtp:// connection on purpose, without STARTTLS.
inline const QString kMailTls = QStringLiteral("tls");
// "xoauth2" or "oauthbearer": the password command prints an OAuth 2.0 access token.
inline const QString kMailAuth = QStringLiteral("auth");
// How many SMTP connections a pass sends its replies over at once, 1 to 10 (default 3).
inline const QString kMailSmtpConnections = QStringLiteral("smtp_connections");

// "keyring": the password or the OAuth 2.0 refresh token is in the desktop keyring, under the
// service below and the profile's user as the account.
inline const QString kMailSecret = QStringLiteral("secret");
inline const QString kMailSecretInKeyring = QStringLiteral("keyring");
inline const QString kKeyringService = QStringLiteral("enrolix");
// OAuth 2.0 sign-in with the browser: the provider's endpoints, the scope asked for and the
// application's registration; the refresh token itself when no keyring could hold it.
inline const QString kMailOAuthAuthorizeUrl = QStringLiteral("oauth_authorize_url");
inline const QString kMailOAuthTokenUrl = QStringLiteral("oauth_token_url");
inline const QString kMailOAuthScope = QStringLiteral("oauth_scope");
inline const QString kMailOAuthClientId = QStringLiteral("oauth_client_id");
inline const QString kMailOAuthClientSecret = QStringLiteral("oauth_client_secret");
inline const QString kMailOAuthRefreshToken = QStringLiteral("oauth_refresh_token");

} // namespace Enrolix::SettingsKeys
