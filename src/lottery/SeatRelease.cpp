#include "lottery/SeatRelease.h"

#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/LotteryMessages.h"
#include "lottery/SendingLock.h"
#include "lottery/Standing.h"

namespace Enrolix {

std::optional<Message> ReleaseOutcome::message() const
{
    switch (kind) {
    case Kind::NobodyWaiting:
        return LotteryMessages::nobodyWaiting();
    case Kind::FileProblem:
        return LotteryMessages::fileProblem(reason);
    case Kind::MovedUp:
    case Kind::NotReleasable:
    case Kind::Stopped:
        break;
    }
    return std::nullopt;
}

ReleaseOutcome SeatRelease::release(const ClosedEvent& closed, const DrawRecord& draw, const QString& name,
                                    const QDateTime& now) const
{
    ReleaseOutcome outcome;
    SendingLock lock(closed);
    if (!lock.take(m_stop)) {
        outcome.kind = m_stop.stop_requested() ? ReleaseOutcome::Kind::Stopped : ReleaseOutcome::Kind::FileProblem;
        outcome.reason = lock.path();
        return outcome;
    }
    FileResult failure;
    QString text;
    std::optional<Standing> standing = Standing::read(draw, closed.movesPath, failure, &text);
    if (!standing) {
        outcome.kind = ReleaseOutcome::Kind::FileProblem;
        outcome.reason = failure.description;
        return outcome;
    }
    const qsizetype index = standing->indexOf(name);
    if (!standing->releasable(index)) {
        outcome.kind = ReleaseOutcome::Kind::NotReleasable;
        return outcome;
    }
    const QList<SeatMove> moves = standing->release(index, now);
    for (const SeatMove& move : moves)
        text = TextFiles::withLineAppended(text, move.line());
    const FileResult written = TextFiles::writeWhole(closed.movesPath, text);
    if (!written.ok()) {
        outcome.kind = ReleaseOutcome::Kind::FileProblem;
        outcome.reason = QStringLiteral("%1: %2").arg(closed.movesPath, written.description);
        return outcome;
    }
    outcome.kind = moves.size() > 1 ? ReleaseOutcome::Kind::MovedUp : ReleaseOutcome::Kind::NobodyWaiting;
    outcome.movedUp = moves.size() > 1 ? moves.last().name : QString();
    return outcome;
}

} // namespace Enrolix
