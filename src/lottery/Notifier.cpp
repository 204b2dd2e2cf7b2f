#include "lottery/Notifier.h"

#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/LotteryMessages.h"
#include "lottery/SendingLock.h"
#include "lottery/Standing.h"
#include "mail/MailSessionFactory.h"
#include "mail/ProfileKeys.h"
#include "mail/ReplyComposer.h"
#include "settings/Settings.h"

#include <QSet>

namespace Enrolix {
namespace {

const QChar kTab = QLatin1Char('\t');

// One line of the ".sent" file: the person as drawn, so two people sharing an address each get
// their own mail; the invitation of someone moved up, sent after their place on the waiting
// list perhaps, has a line of its own.
QString sentLine(const QString& name, const QString& address, Draw::Status status)
{
    const QString line = name + kTab + address;
    return status == Draw::Status::MovedUp ? line + kTab + LotteryMessages::kMoveMovedUp : line;
}

// The mail of a drawn person as the draw stands.
LotteryMessages::Notification notification(const Settings& settings, const ClosedEvent& closed,
                                           const Standing& standing, qsizetype index)
{
    const QString contact =
        LotteryMessages::contact(settings.Training_Coordinator_Name, settings.Training_Coordinator_Ext);
    switch (standing.status(index)) {
    case Draw::Status::Waiting:
        return LotteryMessages::waitingPlace(closed.event, closed.description, standing.waitingPlace(index));
    case Draw::Status::MovedUp:
        return LotteryMessages::movedUpInvitation(closed.event, closed.description, contact);
    case Draw::Status::Selected:
    case Draw::Status::Released:
        break;
    }
    return LotteryMessages::invitation(closed.event, closed.description, contact);
}

} // namespace

Message NotifyOutcome::message() const
{
    switch (kind) {
    case Kind::Done:
        return LotteryMessages::notificationsSent(invitations, waiting, withoutAddress, notDelivered);
    case Kind::NothingLeft:
        return LotteryMessages::allAlreadySent();
    case Kind::Unreachable:
        return LotteryMessages::profileUnreachable(reason);
    case Kind::Stopped:
        return LotteryMessages::sendingStopped(invitations, waiting, withoutAddress, reason);
    case Kind::Busy:
        return LotteryMessages::sendingElsewhere();
    case Kind::FileProblem:
        break;
    }
    return LotteryMessages::fileProblem(reason);
}

bool Notifier::anySent(const ClosedEvent& closed)
{
    const std::optional<QStringList> lines = TextFiles::readLines(closed.sentPath);
    return lines && !lines->isEmpty();
}

NotifyOutcome Notifier::send(const ClosedEvent& closed, const DrawRecord& draw,
                             const std::function<void(int, int)>& progress)
{
    NotifyOutcome outcome;
    SendingLock lock(closed);
    if (!lock.tryTake()) {
        outcome.kind = lock.busy() ? NotifyOutcome::Kind::Busy : NotifyOutcome::Kind::FileProblem;
        outcome.reason = lock.path();
        return outcome;
    }

    QSet<QString> sent;
    if (TextFiles::exists(closed.sentPath)) {
        FileResult failure;
        const std::optional<QStringList> lines = TextFiles::readLines(closed.sentPath, &failure);
        if (!lines) {
            outcome.kind = NotifyOutcome::Kind::FileProblem;
            outcome.reason = failure.description;
            return outcome;
        }
        sent = QSet<QString>(lines->begin(), lines->end());
    }

    // Read under the lock: a release waits for this run, and one made before it counts.
    FileResult failure;
    const std::optional<Standing> standing = Standing::read(draw, closed.movesPath, failure);
    if (!standing) {
        outcome.kind = NotifyOutcome::Kind::FileProblem;
        outcome.reason = failure.description;
        return outcome;
    }
    QList<qsizetype> left;
    for (qsizetype i = 0; i < draw.entries.size(); ++i) {
        const Draw::Status status = standing->status(i);
        // Whoever gave their seat back told the coordinator: no mail.
        if (status == Draw::Status::Released)
            continue;
        const QString& name = draw.entries.at(i).name;
        const QString address = closed.addresses.value(name);
        if (address.isEmpty())
            ++outcome.withoutAddress;
        else if (!sent.contains(sentLine(name, address, status)))
            left.append(i);
    }
    if (left.isEmpty()) {
        outcome.kind = NotifyOutcome::Kind::NothingLeft;
        return outcome;
    }

    const OutboxSignOn opened = m_mail.openOutbox(SettingsKeys::kMailProfileName, m_stop);
    if (!opened.outbox) {
        outcome.kind = NotifyOutcome::Kind::Unreachable;
        outcome.reason = opened.failure;
        return outcome;
    }
    for (int i = 0; i < left.size(); ++i) {
        const qsizetype index = left.at(i);
        const QString& name = draw.entries.at(index).name;
        const Draw::Status status = standing->status(index);
        const LotteryMessages::Notification text = notification(m_settings, closed, *standing, index);
        const ReplyComposer::Reply mail{opened.from, closed.addresses.value(name), name, text.subject, text.text};
        const SendResult result =
            m_stop.stop_requested()
                ? SendResult::Unavailable
                : opened.outbox->send(opened.from, mail.toAddress, ReplyComposer::composeNotification(mail));
        if (result == SendResult::Unavailable) {
            const bool stopped = m_stop.stop_requested();
            const bool anyOut = outcome.invitations + outcome.waiting > 0;
            outcome.kind = anyOut || stopped ? NotifyOutcome::Kind::Stopped : NotifyOutcome::Kind::Unreachable;
            outcome.reason = stopped ? LotteryMessages::kSendingAskedToStop : opened.outbox->failure();
            return outcome;
        }
        if (result != SendResult::Sent) {
            ++outcome.notDelivered;
        } else {
            ++(status == Draw::Status::Waiting ? outcome.waiting : outcome.invitations);
            const FileResult recorded = TextFiles::appendLine(closed.sentPath, sentLine(name, mail.toAddress, status));
            if (!recorded.ok()) {
                // Without the record the next run would mail this person again: stop here.
                outcome.kind = NotifyOutcome::Kind::FileProblem;
                outcome.reason = recorded.description;
                return outcome;
            }
        }
        if (progress)
            progress(i + 1, int(left.size()));
    }
    return outcome;
}

} // namespace Enrolix
