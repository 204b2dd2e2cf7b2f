#include "mail/InFlightJournal.h"

#include "platform/DataFolder.h"
#include "platform/DiskSync.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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

void collect(const QString& path, QStringList& ids)
{
    const std::optional<QStringList> lines = TextFiles::readLines(path);
    if (!lines)
        return;
    for (const QString& line : *lines) {
        if (line.startsWith(kAdded) && !ids.contains(line.mid(1)))
            ids.append(line.mid(1));
        else if (line.startsWith(kRemoved))
            ids.removeAll(line.mid(1));
    }
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
    QByteArray lines;
    for (const QString& id : ids)
        lines += kAdded.toLatin1() + id.toUtf8() + "\r\n";
    return record(lines, true);
}

void InFlightJournal::remove(const QString& id)
{
    record(kRemoved.toLatin1() + id.toUtf8() + "\r\n", false);
}

void InFlightJournal::sync()
{
    if (m_file.isOpen())
        DiskSync::file(m_file);
}

QStringList InFlightJournal::pending() const
{
    QStringList ids;
    if (!m_legacyPath.isEmpty())
        collect(m_legacyPath, ids);
    collect(m_path, ids);
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
