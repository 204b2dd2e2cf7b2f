#include "platform/mail/InFlightJournal.h"

#include "platform/DataFolder.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace Enrolix {
namespace {

const QChar kAdded = QLatin1Char('+');
const QChar kRemoved = QLatin1Char('-');

} // namespace

InFlightJournal::InFlightJournal(const QString& inbox, const QString& user)
{
    const QByteArray key = QCryptographicHash::hash((inbox + QLatin1Char('\n') + user).toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    m_path = defaultDataFolder() + QStringLiteral("mail/in-flight-") + QString::fromLatin1(key) +
             QStringLiteral(".txt");
}

bool InFlightJournal::add(const QString& id) const
{
    QDir().mkpath(QFileInfo(m_path).path());
    return TextFiles::appendLine(m_path, kAdded + id).ok();
}

void InFlightJournal::remove(const QString& id) const
{
    TextFiles::appendLine(m_path, kRemoved + id);
}

QStringList InFlightJournal::pending() const
{
    QStringList ids;
    const std::optional<QStringList> lines = TextFiles::readLines(m_path);
    if (!lines)
        return ids;
    for (const QString& line : *lines) {
        // A line cut short by a crash is simply not counted.
        if (line.startsWith(kAdded))
            ids.append(line.mid(1));
        else if (line.startsWith(kRemoved))
            ids.removeAll(line.mid(1));
    }
    return ids;
}

void InFlightJournal::clear() const
{
    QFile::remove(m_path);
}

} // namespace Enrolix
