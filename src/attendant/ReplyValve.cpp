#include "attendant/ReplyValve.h"

#include "platform/ControlCharacters.h"
#include "platform/DataFolder.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <optional>

namespace Enrolix {
namespace {

const QChar kSeparator = QLatin1Char(' ');
constexpr int kTagDigits = 16;

// One spelling per address, and one line whatever the address holds.
QString folded(const QString& address)
{
    return withVisibleControlCharacters(address.toCaseFolded());
}

// The first 64 bits of the text's SHA-256: no sender can choose an address that counts as another's.
quint64 digestOf(const QString& text)
{
    const QByteArray hash = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
    return qFromBigEndian<quint64>(hash.constData());
}

// Short, yet long enough that two mails of a day never share it; written as its hex digits.
quint64 tagOf(const QString& key)
{
    return digestOf(key);
}

// A line of the file: "seconds since the epoch, tag, address".
struct Line
{
    qint64 at{0};
    quint64 tag{0};
    QString address;
};

// The line when it is whole and within the window around now: a line from more than a day ahead
// was written under a clock set wrong since.
std::optional<Line> currentLine(const QString& text, qint64 now)
{
    Line line;
    bool timeOk = false;
    bool tagOk = false;
    line.at = text.section(kSeparator, 0, 0).toLongLong(&timeOk);
    const QString tag = text.section(kSeparator, 1, 1);
    line.tag = tag.toULongLong(&tagOk, 16);
    line.address = text.section(kSeparator, 2);
    if (!timeOk || !tagOk || tag.size() != kTagDigits || line.address.isEmpty()
        || qAbs(now - line.at) >= ReplyValve::kWindowSeconds)
        return std::nullopt;
    return line;
}

} // namespace

QString ReplyValve::defaultPath()
{
    return defaultDataFolder() + QStringLiteral("replies-per-sender.txt");
}

ReplyValve::ReplyValve(const QString& path, int maxReplies, Clock now)
    : m_path(path), m_maxReplies(maxReplies), m_now(std::move(now))
{
}

ReplyValve::ReplyValve(const QString& path, int maxReplies)
    : ReplyValve(path, maxReplies, [] { return QDateTime::currentSecsSinceEpoch(); })
{
}

bool ReplyValve::loaded()
{
    if (m_state != State::Unread)
        return m_state == State::Usable;
    m_state = State::Usable;
    if (!QFileInfo::exists(m_path))
        return true;
    const qint64 now = m_now();
    int forgotten = 0;
    const FileResult read = TextFiles::forEachLine(m_path, [&](const QString& text) {
        const std::optional<Line> line = currentLine(text, now);
        if (!line) {
            ++forgotten;
            return;
        }
        ++m_replies[digestOf(line->address)];
        m_tags.insert(line->tag);
    });
    if (!read.ok()) {
        m_state = State::Unusable;
        m_replies.clear();
        m_tags.clear();
        return false;
    }
    // Should the rewrite fail, the old file reads the same next time.
    if (forgotten > 0)
        TextFiles::keepLines(m_path, [now](const QString& text) { return currentLine(text, now).has_value(); });
    return true;
}

bool ReplyValve::admits(const QString& address, const QString& key)
{
    // A file that cannot be read admits the mail here; count() then holds its reply back.
    if (m_maxReplies <= 0 || !loaded() || m_tags.contains(tagOf(key)))
        return true;
    return m_replies.value(digestOf(folded(address))) < m_maxReplies;
}

bool ReplyValve::count(const QString& address, const QString& key)
{
    if (m_maxReplies <= 0)
        return true;
    if (!loaded())
        return false;
    const quint64 tag = tagOf(key);
    if (m_tags.contains(tag))
        return true;
    const QString sender = folded(address);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const QString line = QString::number(m_now()) + kSeparator
                         + QStringLiteral("%1").arg(tag, kTagDigits, 16, QLatin1Char('0')) + kSeparator + sender;
    // Without a wait for the disk: a reply is counted for every request.
    if (!TextFiles::appendLine(m_path, line, TextFiles::Sync::Later).ok())
        return false;
    ++m_replies[digestOf(sender)];
    m_tags.insert(tag);
    return true;
}

} // namespace Enrolix
