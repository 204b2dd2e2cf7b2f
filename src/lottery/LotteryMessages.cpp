#include "lottery/LotteryMessages.h"

#include "mail/MailTexts.h"

namespace Enrolix::LotteryMessages {
namespace {

QString sentCounts(int invitations, int waiting, int withoutAddress)
{
    return QStringLiteral("Notifications sent: %1 invitations, %2 waiting-list mails, %3 without an address.")
        .arg(invitations)
        .arg(waiting)
        .arg(withoutAddress);
}

// The end of both invitations, from the sentence that invites.
QString invitationEnd(const QString& description, const QString& contact)
{
    return QStringLiteral("  This is your invitation to the course.  If you cannot attend, ") + contact +
           QStringLiteral(".") + MailTexts::withEventInformation(description);
}

} // namespace

Message noClosedEvent()
{
    return plainMessage(QStringLiteral("There is no closed event to draw."));
}

Message seatsNotWhole()
{
    return plainMessage(QStringLiteral("Seats must be a whole number from 1 up."));
}

Message noDrawKey()
{
    return plainMessage(QStringLiteral("Please enter the draw key."));
}

Message drawAlreadyNotified()
{
    return plainMessage(QStringLiteral("Notifications for this draw have been sent; it cannot be drawn again."));
}

Message profileUnreachable(const QString& reason)
{
    return plainMessage(QStringLiteral("The mail profile could not be reached; nothing was sent.") + QLatin1Char('\r') +
                        reason);
}

Message notificationsSent(int invitations, int waiting, int withoutAddress, int notDelivered)
{
    QString text = sentCounts(invitations, waiting, withoutAddress);
    if (notDelivered > 0)
        text += QLatin1Char('\r') + QStringLiteral("%1 could not be delivered now; Send Notifications again to retry them.")
                                        .arg(notDelivered);
    return plainMessage(text);
}

Message allAlreadySent()
{
    return plainMessage(QStringLiteral("All notifications for this draw have already been sent."));
}

Message sendingStopped(int invitations, int waiting, int withoutAddress, const QString& reason)
{
    return plainMessage(sentCounts(invitations, waiting, withoutAddress) + QLatin1Char('\r') +
                        QStringLiteral("Sending stopped; the others will be sent by the next Send Notifications.") +
                        QLatin1Char('\r') + reason);
}

Message sendingElsewhere()
{
    return plainMessage(QStringLiteral("The notifications of this event are being sent right now by another window or "
                                       "program. Please try again when that has finished."));
}

Message fileProblem(const QString& reason)
{
    return plainMessage(QStringLiteral("A file of the draw could not be written or read.") + QLatin1Char('\r') + reason);
}

Message releaseQuestion(const QString& name)
{
    return {kApplicationTitle,
            QStringLiteral("Release the seat of ") + name +
                QStringLiteral("?  The first person on the waiting list will be moved up."),
            {Button::Yes, Button::No},
            Button::No};
}

Message nobodyWaiting()
{
    return plainMessage(QStringLiteral("There is nobody left on the waiting list; the seat stays free."));
}

QString moveNotFollowing(const QString& path, int line)
{
    return QStringLiteral("%1, line %2: this move does not follow from the draw and the moves before it.")
        .arg(path)
        .arg(line);
}

Notification invitation(const QString& event, const QString& description, const QString& contact)
{
    return {QStringLiteral("Course Invitation"), QStringLiteral("You have been selected in the lottery for event ") +
                                                     event + QStringLiteral(".") + invitationEnd(description, contact)};
}

Notification movedUpInvitation(const QString& event, const QString& description, const QString& contact)
{
    return {QStringLiteral("Course Invitation"), QStringLiteral("A place has become free in event ") + event +
                                                     QStringLiteral(", and you were next on the waiting list.") +
                                                     invitationEnd(description, contact)};
}

Notification waitingPlace(const QString& event, const QString& description, int place)
{
    return {QStringLiteral("Course Waiting List"),
            QStringLiteral("The lottery for event ") + event +
                QStringLiteral(" has been drawn.  You were not selected; you are number ") + QString::number(place) +
                QStringLiteral(" on the waiting list.  If a place becomes free, you will be contacted.") +
                MailTexts::withEventInformation(description)};
}

QString contact(const QString& coordinatorName, const QString& coordinatorExt)
{
    return QStringLiteral("please contact the ") + coordinatorName + QStringLiteral(" at ") + coordinatorExt;
}

QString status(Draw::Status value)
{
    switch (value) {
    case Draw::Status::Selected:
        return kSelected;
    case Draw::Status::Waiting:
        return kWaiting;
    case Draw::Status::Released:
        return kReleased;
    case Draw::Status::MovedUp:
        break;
    }
    return kMovedUp;
}

QString resultRow(int rank, const QString& name, Draw::Status shown)
{
    return QStringLiteral("%1. %2 - %3")
        .arg(rank)
        .arg(name, shown == Draw::Status::Waiting ? kWaitingList : status(shown));
}

} // namespace Enrolix::LotteryMessages
