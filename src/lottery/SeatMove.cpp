#include "lottery/SeatMove.h"

#include "lottery/LotteryMessages.h"

#include <QStringList>

namespace Enrolix {
namespace {

const QChar kTab = QLatin1Char('\t');

} // namespace

QString SeatMove::line() const
{
    return QStringList{at.toUTC().toString(Qt::ISODate),
                       kind == Kind::Released ? LotteryMessages::kMoveReleased : LotteryMessages::kMoveMovedUp, name}
        .join(kTab);
}

std::optional<SeatMove> SeatMove::parse(const QString& line)
{
    const qsizetype first = line.indexOf(kTab);
    const qsizetype second = line.indexOf(kTab, first + 1);
    if (first < 0 || second < 0 || second + 1 == line.size())
        return std::nullopt;
    const QDateTime at = QDateTime::fromString(line.left(first), Qt::ISODate);
    const QString kind = line.mid(first + 1, second - first - 1);
    if (!at.isValid() || (kind != LotteryMessages::kMoveReleased && kind != LotteryMessages::kMoveMovedUp))
        return std::nullopt;
    return SeatMove{at.toUTC(), kind == LotteryMessages::kMoveReleased ? Kind::Released : Kind::MovedUp,
                    line.mid(second + 1)};
}

} // namespace Enrolix
