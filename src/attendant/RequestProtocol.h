#pragma once

#include <QString>

namespace Enrolix {

// The contract between the registration page, the mailbox and the attendant: the three
// request subjects, the event number of a mail text, and the subject and text of every reply.
namespace RequestProtocol {

enum class RequestKind { None, Registration, AttendeeList, Cancellation };

inline const QString kRegisterSubject = QStringLiteral("Register for Event   (Enrolix)");
inline const QString kAttendeeListSubject = QStringLiteral("Request Attendee List   (Enrolix)");
inline const QString kCancelSubject = QStringLiteral("Cancel Event Registration   (Enrolix)");

// Whole, case-significant comparison: no trimming, no reply prefixes.
RequestKind classify(const QString& subject);

// The first six characters of the text exactly as they stand (fewer when it is shorter).
QString eventNumberOf(const QString& text);

enum class Outcome { Registered, Duplicate, Cancelled, NotRegistered, AttendeeList, NoSuchEvent };

struct Reply
{
    QString subject;
    QString text;
};

// The reply of an outcome. description is the whole description file as read; attendees the
// sign-up list rebuilt with CR LF after every line. Outcomes that carry neither ignore them.
// A control character in event is echoed as its visible stand-in (visibleControlCharacter).
Reply replyFor(Outcome outcome, const QString& event, const QString& description = {}, const QString& attendees = {});

} // namespace RequestProtocol
} // namespace Enrolix
