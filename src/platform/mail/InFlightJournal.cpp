#include "platform/mail/InFlightJournal.h"

#include "platform/DataFolder.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace Enrolix {
namespace {

const QChar kAdded = QLatin1Char('+');
const QChar kRemoved = QLatin1Char('-');

} // namespace

InFlightJournal::InFlightJournal(const QString& inbox, const QString& user)
{
    const QByteArray key =
        QCryptographicHash::hash((inbox + QLatin1Char('\n') + user).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    m_path =
        defaultDataFolder() + QStringLiteral("mail/in-flight-") + QString::fromLatin1(key) + QStringLiteral(".txt");
    m_file.setFileName(m_path);
}

bool InFlightJournal::record(const QByteArray& line)
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
    const QByteArray bytes = line + "\r\n";
    return m_file.write(bytes) == bytes.size();
}

bool InFlightJournal::add(const QString& id)
{
    return record(kAdded.toLatin1() + id.toUtf8());
}

void InFlightJournal::remove(const QString& id)
{
    record(kRemoved.toLatin1() + id.toUtf8());
}

QStringList InFlightJournal::pending() const
{
    QStringList ids;
    const std::optional<QStringList> lines = TextFiles::readLines(m_path);
    if (!lines)
        return ids;
    for (const QString& line : *lines) {
        if (line.startsWith(kAdded))
            ids.append(line.mid(1));
        else if (line.startsWith(kRemoved))
            ids.removeAll(line.mid(1));
    }
    return ids;
}

void InFlightJournal::clear()
{
    m_file.close();
    QFile::remove(m_path);
}

} // namespace Enrolix
