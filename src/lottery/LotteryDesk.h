#pragma once

#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/Standing.h"
#include "platform/Message.h"

#include <QDateTime>

#include <optional>

namespace Enrolix {

class EventFiles;

// The draw window's work without the window: choose a closed event, draw it, save and export
// the draw. A draw whose notifications have started to go out is fixed: it can be shown and
// sent again, never drawn with another key or seat count, and its seats can be released.
class LotteryDesk
{
public:
    explicit LotteryDesk(const EventFiles& files) : m_files(files) {}

    // Loads the event and, when one was saved for the same list, its draw with its moves. A
    // message when the closed list cannot be read, or the moves do not follow from the draw
    // (the draw is then not loaded: statuses that may be wrong would be shown and mailed).
    std::optional<Message> choose(const QString& event);
    const std::optional<ClosedEvent>& chosen() const { return m_closed; }
    const std::optional<DrawRecord>& draw() const { return m_draw; }
    // The draw as it stands after its moves; set whenever draw() is.
    const std::optional<Standing>& standing() const { return m_standing; }
    // The entry holds a seat of a draw whose notifications went out (as last chosen).
    bool canRelease(qsizetype index) const;

    // Draws the chosen event; a message instead when the seats are not a whole number from 1
    // up, the key is empty, or notifications of another draw went out.
    std::optional<Message> drawWith(const QString& seats, const QString& key, const QDateTime& now);
    // Writes the draw file unless it holds the draw already: a saved draw is never rewritten.
    // A message when it cannot be written.
    std::optional<Message> save() const;
    // Writes the draw as CSV to path, with today's statuses.
    std::optional<Message> exportDraw(const QString& path) const;

    // The open event's sign-up list as CSV at path.
    static std::optional<Message> exportSignUps(const EventFiles& files, const QString& event, const QString& path);

private:
    const EventFiles& m_files;
    std::optional<ClosedEvent> m_closed;
    std::optional<DrawRecord> m_draw;
    std::optional<Standing> m_standing;
    // Some notification of the chosen event has gone out.
    bool m_notified{false};
};

} // namespace Enrolix
