#include "support/SignUpModel.h"

#include "support/Subjects.h"

namespace Enrolix::Testing {

QString SignUpModel::subjectOf(Kind kind)
{
    switch (kind) {
    case Kind::Register:
        return Subjects::kRegister;
    case Kind::Cancel:
        return Subjects::kCancel;
    case Kind::AttendeeList:
        break;
    }
    return Subjects::kAttendeeList;
}

QString SignUpModel::handle(Kind kind, const QString& event, const QString& name)
{
    if (!m_lists.contains(event))
        return Subjects::kNotProcessed;
    QStringList& list = m_lists[event];
    switch (kind) {
    case Kind::Register:
        if (list.contains(name))
            return Subjects::kDuplicate;
        list.append(name);
        return Subjects::kRegistered;
    case Kind::Cancel:
        if (list.removeAll(name) == 0)
            return Subjects::kNotRegistered;
        return Subjects::kCancelled;
    case Kind::AttendeeList:
        break;
    }
    return Subjects::kAttendees;
}

} // namespace Enrolix::Testing
