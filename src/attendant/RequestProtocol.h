#pragma once

#include "events/RequestSubjects.h"

#include <QString>

namespace Enrolix {

// The contract between the registration page, the mailbox and the attendant: the requests
// (events/RequestSubjects.h) and here the subject and text of every reply.
namespace RequestProtocol {

enum class Outcome {
    Registered,
    Duplicate,
    Cancelled,
    NotRegistered,
    AttendeeList,
    NoSuchEvent,
    // Refusals of the attendant's rules: the list to registered participants or to the
    // coordinator only, a cancellation only from the address the name registered with.
    ListForRegisteredOnly,
    ListForCoordinatorOnly,
    CancellationFromOtherAddress,
};

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
