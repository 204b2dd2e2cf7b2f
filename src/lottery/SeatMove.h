#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace Enrolix {

// One line of event number + ".moves.txt": a seat given back ("released") or passed on to the
// first one waiting ("moved up"), with its time in UTC and the name, separated by tabs. The draw
// file never changes; the draw and its moves, read in order, give everybody's status.
struct SeatMove
{
    enum class Kind { Released, MovedUp };

    QDateTime at;
    Kind kind{Kind::Released};
    QString name;

    // The line without its line end.
    QString line() const;
    // Nothing when the line is not a move; a name may itself hold a tab.
    static std::optional<SeatMove> parse(const QString& line);

    bool operator==(const SeatMove&) const = default;
};

} // namespace Enrolix
