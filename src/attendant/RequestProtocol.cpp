#include "attendant/RequestProtocol.h"

#include "attendant/AttendantTexts.h"
#include "platform/ControlCharacters.h"

namespace Enrolix::RequestProtocol {

Reply replyFor(Outcome outcome, const QString& number, const QString& description, const QString& attendees)
{
    // The number comes from a stranger's mail, and a control character in it (a CR after a
    // five-character line, an ESC out of broken base64) must not reach the reply.
    return AttendantTexts::reply(outcome, withVisibleControlCharacters(number), description, attendees);
}

} // namespace Enrolix::RequestProtocol
