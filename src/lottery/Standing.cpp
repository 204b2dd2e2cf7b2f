#include "lottery/Standing.h"

#include "lottery/DrawRecord.h"
#include "lottery/LotteryMessages.h"

#include <algorithm>

namespace Enrolix {

Standing::Standing(const QList<Draw::Entry>& entries) : m_entries(entries)
{
    for (const Draw::Entry& entry : entries)
        m_statuses.append(entry.selected ? Draw::Status::Selected : Draw::Status::Waiting);
}

std::optional<Standing> Standing::replay(const QList<Draw::Entry>& entries, const QList<SeatMove>& moves, int& badMove)
{
    Standing standing(entries);
    for (qsizetype i = 0; i < moves.size();) {
        const SeatMove& move = moves.at(i);
        const qsizetype index = standing.indexOf(move.name);
        if (move.kind != SeatMove::Kind::Released || index < 0 || !standing.releasable(index)) {
            badMove = int(i + 1);
            return std::nullopt;
        }
        // A release is followed by the move up it makes, and by nothing else.
        const QList<SeatMove> made = standing.release(index, move.at);
        for (qsizetype j = 1; j < made.size(); ++j) {
            if (i + j >= moves.size() || moves.at(i + j).kind != made.at(j).kind ||
                moves.at(i + j).name != made.at(j).name) {
                badMove = int(i + j + 1);
                return std::nullopt;
            }
        }
        i += made.size();
    }
    return standing;
}

std::optional<Standing> Standing::read(const DrawRecord& draw, const QString& movesPath, FileResult& failure,
                                       QString* movesText)
{
    QString text;
    if (TextFiles::exists(movesPath)) {
        std::optional<QString> stored = TextFiles::readAll(movesPath, &failure);
        if (!stored)
            return std::nullopt;
        text = std::move(*stored);
    }
    const auto notFollowing = [&](int line) {
        failure = {1, LotteryMessages::moveNotFollowing(movesPath, line)};
        return std::nullopt;
    };
    QList<SeatMove> moves;
    for (const QString& line : TextFiles::splitLines(text)) {
        const std::optional<SeatMove> move = SeatMove::parse(line);
        if (!move)
            return notFollowing(int(moves.size() + 1));
        moves.append(*move);
    }
    int badMove = 0;
    std::optional<Standing> standing = replay(draw.entries, moves, badMove);
    if (!standing)
        return notFollowing(badMove);
    if (movesText)
        *movesText = std::move(text);
    return standing;
}

qsizetype Standing::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

bool Standing::releasable(qsizetype index) const
{
    return index >= 0 && index < m_statuses.size() &&
           (m_statuses.at(index) == Draw::Status::Selected || m_statuses.at(index) == Draw::Status::MovedUp);
}

int Standing::waitingPlace(qsizetype index) const
{
    return int(std::count(m_statuses.begin(), m_statuses.begin() + index + 1, Draw::Status::Waiting));
}

QList<SeatMove> Standing::release(qsizetype index, const QDateTime& at)
{
    m_statuses[index] = Draw::Status::Released;
    QList<SeatMove> moves{{at, SeatMove::Kind::Released, m_entries.at(index).name}};
    const qsizetype next = m_statuses.indexOf(Draw::Status::Waiting);
    if (next >= 0) {
        m_statuses[next] = Draw::Status::MovedUp;
        moves.append({at, SeatMove::Kind::MovedUp, m_entries.at(next).name});
    }
    return moves;
}

QList<QStringList> Standing::csvRows(const QHash<QString, QString>& addresses) const
{
    QList<QStringList> rows{
        {QStringLiteral("Rank"), QStringLiteral("Status"), QStringLiteral("Name"), QStringLiteral("Address")}};
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const Draw::Entry& entry = m_entries.at(i);
        rows.append({QString::number(entry.rank), LotteryMessages::status(m_statuses.at(i)), entry.name,
                     addresses.value(entry.name)});
    }
    return rows;
}

} // namespace Enrolix
