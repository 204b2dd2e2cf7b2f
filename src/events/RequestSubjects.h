#pragma once

#include <QString>

namespace Enrolix {

// The requests of the registration page as the mailbox carries them: the three request
// subjects the page's links prepare, and the event number at the start of a mail text. The
// replies to them are the attendant's (attendant/RequestProtocol.h).
namespace RequestProtocol {

enum class RequestKind { None, Registration, AttendeeList, Cancellation };

inline const QString kRegisterSubject = QStringLiteral("Register for Event   (Enrolix)");
inline const QString kAttendeeListSubject = QStringLiteral("Request Attendee List   (Enrolix)");
inline const QString kCancelSubject = QStringLiteral("Cancel Event Registration   (Enrolix)");

// Whole, case-significant comparison: no trimming, no reply prefixes.
RequestKind classify(const QString& subject);

// The first six characters of the text exactly as they stand (fewer when it is shorter).
QString eventNumberOf(const QString& text);

} // namespace RequestProtocol
} // namespace Enrolix
