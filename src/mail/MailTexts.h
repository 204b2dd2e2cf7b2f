#pragma once

#include <QString>

// The fixed texts of the mail layer: those shared by every mail the system sends about an event
// (the attendant's replies and the lottery's notifications), and why a pass could not use the
// mailbox, as the coordinator reads it after "not connected: ".
namespace Enrolix::MailTexts {

// Two line breaks, "Event Information:", a line break and the description: the end of every
// mail that tells about an event.
QString withEventInformation(const QString& description);

// folder: the folder's address.
QString unreadNotListed(const QString& folder);
QString noNextUid(const QString& folder);
QString journalUnwritable(const QString& path);

// Why a mail server could not be used, as the adapters say it after the server's address.
inline const QString kAddressNotValid = QStringLiteral("the address is not valid");
inline const QString kHostNotFound = QStringLiteral("host not found");
inline const QString kHostUnreachable = QStringLiteral("host unreachable");
inline const QString kNoAnswerInTime = QStringLiteral("the server did not answer in time");
inline const QString kFolderMissing = QStringLiteral("folder missing");
inline const QString kSignOnRefused = QStringLiteral("sign-on refused");
inline const QString kTokenRefused = QStringLiteral("sign-on refused: the access token was not accepted");
inline const QString kCertificateNotTrusted = QStringLiteral("certificate not trusted");
inline const QString kSecureConnectionFailed = QStringLiteral("secure connection failed");
inline const QString kNoStartTls = QStringLiteral("server offers no STARTTLS");
inline const QString kConnectionLost = QStringLiteral("connection lost");

// A Maildir that is not there: "maildir:" and its path, ": folder missing".
QString maildirMissing(const QString& path);
// The secret of a profile could not be had.
QString keyringHoldsNoSecret(const QString& user);
// The provider renewed the sign-in, and the keyring would not keep the new one.
QString renewedSignInNotKept(const QString& user, const QString& reason);
inline const QString kSignInExpired =
    QStringLiteral("the sign-in has expired: sign in again under Tools > Mail Account");
// The token endpoint answered, but not with an access token.
QString tokenEndpointAnswer(const QString& url, long status);

} // namespace Enrolix::MailTexts
