#include "attendant/ReplyValve.h"

#include "platform/ControlCharacters.h"
#include "platform/DataFolder.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace Enrolix {
namespace {

const QChar kSeparator = QLatin1Char(' ');

// One spelling per address, and one line whatever the address holds.
QString folded(const QString& address)
{
    return withVisibleControlCharacters(address.toCaseFolded());
}

// Short, yet long enough that two mails of a day never share it.
QString tagOf(const QString& key)
{
    return QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace

QString ReplyValve::defaultPath()
{
    return defaultDataFolder() + QStringLiteral("replies-per-sender.txt");
}

ReplyValve::ReplyValve(const QString& path, int maxReplies, Clock now)
    : m_path(path), m_maxReplies(maxReplies), m_now(std::move(now))
{
    if (m_maxReplies > 0)
        load();
}

ReplyValve::ReplyValve(const QString& path, int maxReplies)
    : ReplyValve(path, maxReplies, [] { return QDateTime::currentSecsSinceEpoch(); })
{
}

void ReplyValve::load()
{
    if (!QFileInfo::exists(m_path))
        return;
    const std::optional<QStringList> lines = TextFiles::readLines(m_path);
    if (!lines) {
        m_usable = false;
        return;
    }
    const qint64 now = m_now();
    QStringList kept;
    for (const QString& line : *lines) {
        bool ok = false;
        const qint64 at = line.section(kSeparator, 0, 0).toLongLong(&ok);
        const QString tag = line.section(kSeparator, 1, 1);
        const QString address = line.section(kSeparator, 2);
        // A line from more than a day ahead was written under a clock set wrong since.
        if (!ok || tag.isEmpty() || address.isEmpty() || qAbs(now - at) >= kWindowSeconds)
            continue;
        kept.append(line);
        ++m_replies[address];
        m_tags.insert(tag);
    }
    // Should the rewrite fail, the old file reads the same next time.
    if (kept.size() != lines->size())
        TextFiles::writeLines(m_path, kept);
}

bool ReplyValve::admits(const QString& address, const QString& key) const
{
    if (m_maxReplies <= 0 || m_tags.contains(tagOf(key)))
        return true;
    return m_replies.value(folded(address)) < m_maxReplies;
}

bool ReplyValve::count(const QString& address, const QString& key)
{
    if (m_maxReplies <= 0)
        return true;
    if (!m_usable)
        return false;
    const QString tag = tagOf(key);
    if (m_tags.contains(tag))
        return true;
    const QString sender = folded(address);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const QString line = QString::number(m_now()) + kSeparator + tag + kSeparator + sender;
    // Without a wait for the disk: a reply is counted for every request.
    if (!TextFiles::appendLine(m_path, line, TextFiles::Sync::Later).ok())
        return false;
    ++m_replies[sender];
    m_tags.insert(tag);
    return true;
}

} // namespace Enrolix
