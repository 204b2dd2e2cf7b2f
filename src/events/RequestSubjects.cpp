#include "events/RequestSubjects.h"

namespace Enrolix::RequestProtocol {

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

} // namespace Enrolix::RequestProtocol
