#pragma once

#include "platform/Message.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <stop_token>

namespace Enrolix {

struct ClosedEvent;
struct DrawRecord;

// What releasing a seat did.
struct ReleaseOutcome
{
    enum class Kind {
        // The seat was given back and the first one waiting moved up.
        MovedUp,
        // The seat was given back; nobody was left waiting, so it stays free.
        NobodyWaiting,
        // The person holds no seat (any more): nothing changed.
        NotReleasable,
        // Asked to stop while waiting for a run of Send Notifications: nothing changed.
        Stopped,
        // The moves could not be read or written: nothing changed.
        FileProblem,
    };
    Kind kind{Kind::MovedUp};
    QString movedUp;
    QString reason;

    // The box that tells the coordinator, when there is something to tell beyond the list.
    std::optional<Message> message() const;
};

// Gives a seat of a notified draw back and passes it on to the first one still waiting, by
// appending both moves to event number + ".moves.txt"; the draw file never changes. The file is
// written whole or not at all, so a release is never found without the move up it made.
class SeatRelease
{
public:
    // Once stop is asked, a release that finds the lock held gives up.
    explicit SeatRelease(std::stop_token stop = {}) : m_stop(std::move(stop)) {}

    // Under the event's sending lock, waiting while notifications are going out, the moves are
    // read afresh, so a release made elsewhere meanwhile counts.
    ReleaseOutcome release(const ClosedEvent& closed, const DrawRecord& draw, const QString& name,
                           const QDateTime& now) const;

private:
    std::stop_token m_stop;
};

} // namespace Enrolix
