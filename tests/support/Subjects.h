#pragma once

#include <QString>

// The subjects of the mails of a sign-up, spelled here once for every test: the requests the
// registration page's links prepare, and the attendant's replies. Tests compare the program's
// own subjects with these, so a change on either side shows.
namespace Enrolix::Testing::Subjects {

// Requests
inline const QString kRegister = QStringLiteral("Register for Event   (Enrolix)");
inline const QString kAttendeeList = QStringLiteral("Request Attendee List   (Enrolix)");
inline const QString kCancel = QStringLiteral("Cancel Event Registration   (Enrolix)");

// Replies
inline const QString kRegistered = QStringLiteral("Registration Request Processed");
inline const QString kDuplicate = QStringLiteral("Duplicate Registration Request");
inline const QString kCancelled = QStringLiteral("Cancellation Request Processed");
inline const QString kNotRegistered = QStringLiteral("Cancellation Request Not Processed");
inline const QString kAttendees = QStringLiteral("Request for Attendees");
inline const QString kNotProcessed = QStringLiteral("Request Not Processed");

} // namespace Enrolix::Testing::Subjects
