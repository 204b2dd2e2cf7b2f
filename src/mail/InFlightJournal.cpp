#include "mail/InFlightJournal.h"

#include "platform/DataFolder.h"
#include "platform/DiskSync.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace Enrolix {
namespace {

const QChar kAdded = QLatin1Char('+');
const QChar kRemoved = QLatin1Char('-');

QString journalPath(const QString& inbox, const QString& user)
{
    const QByteArray key =
        QCryptographicHash::hash((inbox + QLatin1Char('\n') + user).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return defaultDataFolder() + QStringLiteral("mail/in-flight-") + QString::fromLatin1(key) + QStringLiteral(".txt");
}

// The ids of journal files read one after the other: each in the order of its latest addition,
// with the positions of those not removed since.
struct Entries
{
    QStringList added;
    QHash<QString, qsizetype> live;
};

void collect(const QString& path, Entries& entries)
{
    const std::optional<QStringList> lines = TextFiles::readLines(path);
    if (!lines)
        return;
    for (const QString& line : *lines) {
        const QString id = line.mid(1);
        if (line.startsWith(kAdded) && !entries.live.contains(id)) {
            entries.live.insert(id, entries.added.size());
            entries.added.append(id);
        } else if (line.startsWith(kRemoved)) {
            entries.live.remove(id);
        }
    }
}

QByteArray linesOf(QChar mark, const QStringList& ids)
{
    QByteArray text;
    for (const QString& id : ids)
        text += mark.toLatin1() + id.toUtf8() + "\r\n";
    return text;
}

} // namespace

InFlightJournal::InFlightJournal(const QString& inbox, const QString& user, const QString& legacyInbox)
    : m_path(journalPath(inbox, user))
{
    if (!legacyInbox.isEmpty() && journalPath(legacyInbox, user) != m_path)
        m_legacyPath = journalPath(legacyInbox, user);
    m_file.setFileName(m_path);
}

bool InFlightJournal::record(const QByteArray& lines, bool sync)
{
    if (!m_file.isOpen()) {
        QDir().mkpath(QFileInfo(m_path).path());
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        // A record cut short by a crash must not swallow the next one.
        char last = 0;
        const qint64 size = m_file.size();
        if (size > 0 && m_file.seek(size - 1) && m_file.getChar(&last) && last != '\n')
            m_file.write("\r\n");
    }
    return m_file.write(lines) == lines.size() && (!sync || DiskSync::file(m_file));
}

bool InFlightJournal::add(const QStringList& ids)
{
    return record(linesOf(kAdded, ids), true);
}

void InFlightJournal::remove(const QStringList& ids)
{
    if (!ids.isEmpty())
        record(linesOf(kRemoved, ids), false);
}

void InFlightJournal::sync()
{
    if (m_file.isOpen())
        DiskSync::file(m_file);
}

QStringList InFlightJournal::pending() const
{
    Entries entries;
    if (!m_legacyPath.isEmpty())
        collect(m_legacyPath, entries);
    collect(m_path, entries);
    QStringList ids;
    for (qsizetype at = 0; at < entries.added.size(); ++at) {
        if (entries.live.value(entries.added.at(at), -1) == at)
            ids.append(entries.added.at(at));
    }
    return ids;
}

void InFlightJournal::clear()
{
    m_file.close();
    QFile::remove(m_path);
    if (!m_legacyPath.isEmpty())
        QFile::remove(m_legacyPath);
}

} // namespace Enrolix
