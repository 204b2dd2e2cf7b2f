#include "lottery/DrawRecord.h"

#include "lottery/ClosedEvent.h"
#include "lottery/LotteryMessages.h"

namespace Enrolix {
namespace {

const QString kEvent = QStringLiteral("Event: ");
const QString kSignUps = QStringLiteral("Sign-ups: ");
const QString kListSha = QStringLiteral("List SHA-256: ");
const QString kKey = QStringLiteral("Draw key: ");
const QString kSeats = QStringLiteral("Seats: ");
const QString kDrawn = QStringLiteral("Drawn: ");
const QString kMethod = QStringLiteral("Method: names ranked by SHA-256 of the draw key, a line feed and the name");
const QChar kTab = QLatin1Char('\t');

QString status(bool selected)
{
    return LotteryMessages::status(selected ? Draw::Status::Selected : Draw::Status::Waiting);
}

// The value of the header line that starts with label.
std::optional<QString> header(const QStringList& lines, const QString& label)
{
    for (const QString& line : lines) {
        if (line.isEmpty())
            break;
        if (line.startsWith(label))
            return line.mid(label.size());
    }
    return std::nullopt;
}

// "rank \t status \t name \t hash"; a name may itself hold a tab, the hash never does.
std::optional<Draw::Entry> entryOf(const QString& line)
{
    const qsizetype first = line.indexOf(kTab);
    const qsizetype second = line.indexOf(kTab, first + 1);
    const qsizetype last = line.lastIndexOf(kTab);
    if (first < 0 || second < 0 || last <= second)
        return std::nullopt;
    bool number = false;
    const int rank = line.left(first).toInt(&number);
    const QString state = line.mid(first + 1, second - first - 1);
    if (!number || (state != LotteryMessages::kSelected && state != LotteryMessages::kWaiting))
        return std::nullopt;
    return Draw::Entry{rank, line.mid(second + 1, last - second - 1), line.mid(last + 1),
                       state == LotteryMessages::kSelected};
}

} // namespace

DrawRecord DrawRecord::make(const ClosedEvent& closed, const QString& key, int seats, const QDateTime& drawn)
{
    return {closed.event, closed.listSha256, key, seats, drawn.toUTC(), Draw::rank(closed.names, key, seats)};
}

QString DrawRecord::text() const
{
    QStringList lines{kEvent + event,
                      kSignUps + QString::number(entries.size()),
                      kListSha + listSha256,
                      kKey + key,
                      kSeats + QString::number(seats),
                      kDrawn + drawn.toUTC().toString(Qt::ISODate),
                      kMethod,
                      QString()};
    for (const Draw::Entry& entry : entries)
        lines.append(QStringList{QString::number(entry.rank), status(entry.selected), entry.name, entry.hash}.join(kTab));
    return TextFiles::joinLines(lines);
}

std::optional<DrawRecord> DrawRecord::read(const QString& path)
{
    const std::optional<QStringList> lines = TextFiles::readLines(path);
    if (!lines)
        return std::nullopt;
    const auto event = header(*lines, kEvent);
    const auto sha = header(*lines, kListSha);
    const auto key = header(*lines, kKey);
    const auto seats = header(*lines, kSeats);
    const auto drawn = header(*lines, kDrawn);
    const qsizetype blank = lines->indexOf(QString());
    if (!event || !sha || !key || !seats || !drawn || blank < 0)
        return std::nullopt;
    DrawRecord record{*event, *sha, *key, seats->toInt(), QDateTime::fromString(*drawn, Qt::ISODate), {}};
    for (qsizetype i = blank + 1; i < lines->size(); ++i) {
        const std::optional<Draw::Entry> entry = entryOf(lines->at(i));
        if (!entry)
            return std::nullopt;
        record.entries.append(*entry);
    }
    return record;
}

bool DrawRecord::sameDrawAs(const DrawRecord& other) const
{
    return event == other.event && listSha256 == other.listSha256 && key == other.key && seats == other.seats;
}

} // namespace Enrolix
