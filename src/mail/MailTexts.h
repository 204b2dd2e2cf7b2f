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

// The secret of a profile could not be had.
QString keyringHoldsNoSecret(const QString& user);
inline const QString kSignInExpired =
    QStringLiteral("the sign-in has expired: sign in again under Tools > Mail Account");
// The token endpoint answered, but not with an access token.
QString tokenEndpointAnswer(const QString& url, long status);

} // namespace Enrolix::MailTexts
