#pragma once

#include "lottery/Draw.h"
#include "lottery/SeatMove.h"
#include "platform/TextFiles.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

namespace Enrolix {

struct DrawRecord;

// A draw as it stands after its moves: who holds a seat, who waits, who gave theirs back. The
// moves are replayed against the draw one by one, so a moves file that does not follow from the
// draw (edited by hand, or of another draw) is found out instead of giving wrong statuses.
class Standing
{
public:
    // The draw as drawn, before any move.
    explicit Standing(const QList<Draw::Entry>& entries);

    // The draw after the moves in order; nothing when one does not follow from the draw and the
    // moves before it, with badMove its number from 1.
    static std::optional<Standing> replay(const QList<Draw::Entry>& entries, const QList<SeatMove>& moves,
                                          int& badMove);
    // The draw after the moves of the file at movesPath (none while it is missing); nothing, and
    // why, when the file cannot be read or does not follow. movesText, when given, gets the
    // file's text as read.
    static std::optional<Standing> read(const DrawRecord& draw, const QString& movesPath, FileResult& failure,
                                        QString* movesText = nullptr);

    const QList<Draw::Entry>& entries() const { return m_entries; }
    Draw::Status status(qsizetype index) const { return m_statuses.at(index); }
    // The index of the entry of that name; -1 when the draw has none.
    qsizetype indexOf(const QString& name) const;
    // A seat that is held (Selected or MovedUp) can be given back.
    bool releasable(qsizetype index) const;
    // The place from 1 of a waiting entry on the waiting list as it stands.
    int waitingPlace(qsizetype index) const;

    // Gives the seat of a releasable entry back and moves the first one still waiting up. The
    // moves made, the release first; without anybody waiting the release alone.
    QList<SeatMove> release(qsizetype index, const QDateTime& at);

    // The draw as CSV rows, header first: "Rank,Status,Name,Address", with today's status.
    QList<QStringList> csvRows(const QHash<QString, QString>& addresses) const;

private:
    QList<Draw::Entry> m_entries;
    QList<Draw::Status> m_statuses;
};

} // namespace Enrolix
