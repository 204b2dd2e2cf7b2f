#include "support/SignUpModel.h"

namespace Enrolix::Testing {

QString SignUpModel::subjectOf(Kind kind)
{
    switch (kind) {
    case Kind::Register:
        return QStringLiteral("Register for Event   (Enrolix)");
    case Kind::Cancel:
        return QStringLiteral("Cancel Event Registration   (Enrolix)");
    case Kind::AttendeeList:
        break;
    }
    return QStringLiteral("Request Attendee List   (Enrolix)");
}

QString SignUpModel::handle(Kind kind, const QString& event, const QString& name)
{
    if (!m_lists.contains(event))
        return QStringLiteral("Request Not Processed");
    QStringList& list = m_lists[event];
    switch (kind) {
    case Kind::Register:
        if (list.contains(name))
            return QStringLiteral("Duplicate Registration Request");
        list.append(name);
        return QStringLiteral("Registration Request Processed");
    case Kind::Cancel:
        if (list.removeAll(name) == 0)
            return QStringLiteral("Cancellation Request Not Processed");
        return QStringLiteral("Cancellation Request Processed");
    case Kind::AttendeeList:
        break;
    }
    return QStringLiteral("Request for Attendees");
}

} // namespace Enrolix::Testing
