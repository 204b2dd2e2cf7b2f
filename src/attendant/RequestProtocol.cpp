#include "attendant/RequestProtocol.h"

#include "platform/ControlCharacters.h"

namespace Enrolix::RequestProtocol {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSelection = QStringLiteral("If you are selected, an invitation for this course will be sent to you via "
                                          "E-mail after the closure of the sign-up period.");

// The number as echoed in a reply: it comes from a stranger's mail, and a control character in
// it (a CR after a five-character line, an ESC out of broken base64) must not reach the reply.
QString visible(const QString& event)
{
    QString shown = event;
    for (QChar& c : shown) {
        if (isControlCharacter(c))
            c = visibleControlCharacter(c);
    }
    return shown;
}

} // namespace

QString withEventInformation(const QString& description)
{
    return kCrLf + kCrLf + QStringLiteral("Event Information:") + kCrLf + description;
}

RequestKind classify(const QString& subject)
{
    if (subject == kRegisterSubject)
        return RequestKind::Registration;
    if (subject == kAttendeeListSubject)
        return RequestKind::AttendeeList;
    if (subject == kCancelSubject)
        return RequestKind::Cancellation;
    return RequestKind::None;
}

QString eventNumberOf(const QString& text)
{
    return text.left(6);
}

Reply replyFor(Outcome outcome, const QString& number, const QString& description, const QString& attendees)
{
    const QString event = visible(number);
    switch (outcome) {
    case Outcome::Registered:
        return {QStringLiteral("Registration Request Processed"),
                QStringLiteral("Your registration request to event ") + event +
                    QStringLiteral(" has been recorded.  ") + kSelection + withEventInformation(description)};
    case Outcome::Duplicate:
        return {QStringLiteral("Duplicate Registration Request"),
                QStringLiteral("You have submitted a duplicate request for registration to event ") + event +
                    QStringLiteral(".  ") + kSelection};
    case Outcome::Cancelled:
        return {QStringLiteral("Cancellation Request Processed"),
                QStringLiteral("Your name has been removed from the sign-up list for event ") + event +
                    QStringLiteral(".") + kCrLf + QStringLiteral("Thank you.") + withEventInformation(description)};
    case Outcome::NotRegistered:
        return {QStringLiteral("Cancellation Request Not Processed"),
                QStringLiteral("Your request to remove your name from event ") + event +
                    QStringLiteral(" could not be processed.  You were not registered for this event.")};
    case Outcome::AttendeeList:
        return {QStringLiteral("Request for Attendees"),
                QStringLiteral("Current sign-up list for ") + event + QStringLiteral(":") + kCrLf + kCrLf + attendees +
                    kCrLf + kCrLf + QStringLiteral("Event Information:") + kCrLf + description};
    case Outcome::NoSuchEvent:
        return {QStringLiteral("Request Not Processed"),
                QStringLiteral("Your request for event ") + event +
                    QStringLiteral(" could not be processed.  There is no open event with this number.")};
    }
    return {};
}

} // namespace Enrolix::RequestProtocol
