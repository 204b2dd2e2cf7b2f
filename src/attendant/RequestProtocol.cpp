#include "attendant/RequestProtocol.h"

#include "attendant/AttendantTexts.h"
#include "platform/ControlCharacters.h"

namespace Enrolix::RequestProtocol {
namespace {

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
    return AttendantTexts::reply(outcome, visible(number), description, attendees);
}

} // namespace Enrolix::RequestProtocol
