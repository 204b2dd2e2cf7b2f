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

Reply replyFor(Outcome outcome, const QString& number, const QString& description, const QString& attendees)
{
    return AttendantTexts::reply(outcome, visible(number), description, attendees);
}

} // namespace Enrolix::RequestProtocol
