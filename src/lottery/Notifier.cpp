#include "lottery/Notifier.h"

#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/LotteryMessages.h"
#include "mail/MailSessionFactory.h"
#include "mail/ProfileKeys.h"
#include "mail/ReplyComposer.h"
#include "settings/Settings.h"

#include <QLockFile>
#include <QSet>

namespace Enrolix {
namespace {

const QChar kTab = QLatin1Char('\t');

// One line of the ".sent" file: the person as drawn, so two people sharing an address each
// get their own mail.
QString sentLine(const QString& name, const QString& address)
{
    return name + kTab + address;
}

ReplyComposer::Reply notification(const Settings& settings, const ClosedEvent& closed, const Draw::Entry& entry,
                                  int seats, const QString& from)
{
    const LotteryMessages::Notification mail =
        entry.selected
            ? LotteryMessages::invitation(
                  closed.event, closed.description,
                  LotteryMessages::contact(settings.Training_Coordinator_Name, settings.Training_Coordinator_Ext))
            : LotteryMessages::waitingPlace(closed.event, closed.description, entry.rank - seats);
    return {from, closed.addresses.value(entry.name), entry.name, mail.subject, mail.text};
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
    // Two windows or two machines sending the same draw would mail everybody twice.
    QLockFile lock(closed.sentPath + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        outcome.kind = lock.error() == QLockFile::LockFailedError ? NotifyOutcome::Kind::Busy
                                                                   : NotifyOutcome::Kind::FileProblem;
        outcome.reason = closed.sentPath + QStringLiteral(".lock");
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

    QList<Draw::Entry> left;
    for (const Draw::Entry& entry : draw.entries) {
        const QString address = closed.addresses.value(entry.name);
        if (address.isEmpty())
            ++outcome.withoutAddress;
        else if (!sent.contains(sentLine(entry.name, address)))
            left.append(entry);
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
        const Draw::Entry& entry = left.at(i);
        const ReplyComposer::Reply mail = notification(m_settings, closed, entry, draw.seats, opened.from);
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
            ++(entry.selected ? outcome.invitations : outcome.waiting);
            const FileResult recorded = TextFiles::appendLine(closed.sentPath, sentLine(entry.name, mail.toAddress));
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
