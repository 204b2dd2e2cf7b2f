#include "lottery/LotteryDesk.h"

#include "lottery/Csv.h"
#include "lottery/LotteryMessages.h"
#include "lottery/Notifier.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace Enrolix {
namespace {

std::optional<Message> writeCsv(const QString& path, const QList<QStringList>& rows)
{
    const QByteArray bytes = Csv::document(rows);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit())
        return LotteryMessages::fileProblem(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return std::nullopt;
}

std::optional<int> seatCount(const QString& text)
{
    static const QRegularExpression kWhole(QStringLiteral("^\\s*[0-9]{1,9}\\s*$"));
    if (!kWhole.match(text).hasMatch())
        return std::nullopt;
    const int seats = text.trimmed().toInt();
    return seats >= 1 ? std::optional<int>(seats) : std::nullopt;
}

} // namespace

std::optional<Message> LotteryDesk::choose(const QString& event)
{
    m_closed.reset();
    m_draw.reset();
    m_standing.reset();
    m_notified = false;
    FileResult failure;
    m_closed = ClosedEvent::load(m_files, event, failure);
    if (!m_closed)
        return LotteryMessages::fileProblem(failure.description);
    m_notified = Notifier::anySent(*m_closed);
    std::optional<DrawRecord> saved = DrawRecord::read(m_closed->drawPath);
    if (!saved || saved->event != event || saved->listSha256 != m_closed->listSha256)
        return std::nullopt;
    m_standing = Standing::read(*saved, m_closed->movesPath, failure);
    if (!m_standing)
        return LotteryMessages::fileProblem(failure.description);
    m_draw = std::move(saved);
    return std::nullopt;
}

std::optional<Message> LotteryDesk::drawWith(const QString& seatsText, const QString& key, const QDateTime& now)
{
    const std::optional<int> seats = seatCount(seatsText);
    if (!seats)
        return LotteryMessages::seatsNotWhole();
    if (key.isEmpty())
        return LotteryMessages::noDrawKey();
    if (!m_closed)
        return LotteryMessages::noClosedEvent();
    DrawRecord drawn = DrawRecord::make(*m_closed, key, *seats, now);
    if (m_draw && m_draw->sameDrawAs(drawn))
        return std::nullopt; // the same draw again: keep when it was first drawn
    // Moves belong to the draw they were made on.
    if (Notifier::anySent(*m_closed) || TextFiles::exists(m_closed->movesPath))
        return LotteryMessages::drawAlreadyNotified();
    m_draw = std::move(drawn);
    m_standing.emplace(m_draw->entries);
    return std::nullopt;
}

bool LotteryDesk::canRelease(qsizetype index) const
{
    return m_notified && m_standing && m_standing->releasable(index);
}

std::optional<Message> LotteryDesk::save() const
{
    if (!m_closed || !m_draw)
        return std::nullopt;
    const QString text = m_draw->text();
    if (TextFiles::readAll(m_closed->drawPath) == text)
        return std::nullopt;
    const FileResult written = TextFiles::writeWhole(m_closed->drawPath, text);
    if (!written.ok())
        return LotteryMessages::fileProblem(QStringLiteral("%1: %2").arg(m_closed->drawPath, written.description));
    return std::nullopt;
}

std::optional<Message> LotteryDesk::exportDraw(const QString& path) const
{
    if (!m_closed || !m_draw)
        return std::nullopt;
    return writeCsv(path, m_standing->csvRows(m_closed->addresses));
}

std::optional<Message> LotteryDesk::exportSignUps(const EventFiles& files, const QString& event, const QString& path)
{
    FileResult failure;
    const std::optional<QList<QStringList>> rows = ClosedEvent::openListRows(files, event, failure);
    if (!rows)
        return LotteryMessages::fileProblem(failure.description);
    return writeCsv(path, *rows);
}

} // namespace Enrolix
