#include "attendant/AttendantTexts.h"

#include "mail/MailTexts.h"

namespace Enrolix::AttendantTexts {
namespace {

using MailTexts::withEventInformation;
using RequestProtocol::Outcome;

const QString kCrLf = QStringLiteral("\r\n");
const QString kSelection = QStringLiteral("If you are selected, an invitation for this course will be sent to you via "
                                          "E-mail after the closure of the sign-up period.");
const QString kNotProcessed = QStringLiteral("Request Not Processed");
const QString kCancellationNotProcessed = QStringLiteral("Cancellation Request Not Processed");

QString listRefused(const QString& event, const QString& receivers)
{
    return QStringLiteral("Your request for the attendee list of event ") + event +
           QStringLiteral(" could not be processed.  The list is sent to ") + receivers + QStringLiteral(" only.");
}

} // namespace

RequestProtocol::Reply reply(Outcome outcome, const QString& event, const QString& description,
                             const QString& attendees)
{
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
        return {kCancellationNotProcessed,
                QStringLiteral("Your request to remove your name from event ") + event +
                    QStringLiteral(" could not be processed.  You were not registered for this event.")};
    case Outcome::AttendeeList:
        return {QStringLiteral("Request for Attendees"), QStringLiteral("Current sign-up list for ") + event +
                                                             QStringLiteral(":") + kCrLf + kCrLf + attendees +
                                                             withEventInformation(description)};
    case Outcome::NoSuchEvent:
        return {kNotProcessed,
                QStringLiteral("Your request for event ") + event +
                    QStringLiteral(" could not be processed.  There is no open event with this number.")};
    case Outcome::ListForRegisteredOnly:
        return {kNotProcessed, listRefused(event, QStringLiteral("registered participants"))};
    case Outcome::ListForCoordinatorOnly:
        return {kNotProcessed, listRefused(event, QStringLiteral("the training coordinator"))};
    case Outcome::CancellationFromOtherAddress:
        return {kCancellationNotProcessed,
                QStringLiteral("Your request to be removed from event ") + event +
                    QStringLiteral(" could not be processed.  Please send it from the address you registered with.")};
    }
    return {};
}

QString failureCount(qint16 failures)
{
    return QLatin1Char(' ') + QString::number(failures);
}

QString watchingNothing(int seconds)
{
    return QStringLiteral("watching: none (the server offers no IDLE), a pass every %1 s").arg(seconds);
}

QString watchInterrupted(const QString& reason, std::chrono::seconds pause)
{
    return QStringLiteral("watching: interrupted: %1; trying again in %2 s").arg(reason).arg(pause.count());
}

QString noticeTime(const QDateTime& moment)
{
    return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString cannotAnswerBody(const QString& reason, const std::optional<QDateTime>& lastGood, const QDateTime& started)
{
    const QString since =
        lastGood ? QStringLiteral("Last good check: %1.").arg(noticeTime(*lastGood))
                 : QStringLiteral("No good check since the attendant started at %1.").arg(noticeTime(started));
    return reason + QLatin1Char('\n') + since;
}

QString answersAgainBody(const QDateTime& goodPass, int failedPasses)
{
    return QStringLiteral("The check at %1 succeeded after %2 failed checks in a row.")
        .arg(noticeTime(goodPass))
        .arg(failedPasses);
}

QString noticeLogLine(const QString& summary, const QString& body)
{
    return QStringLiteral("notice: ") + summary + QStringLiteral(": ") +
           QString(body).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace Enrolix::AttendantTexts
