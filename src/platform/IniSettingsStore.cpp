#include "platform/IniSettingsStore.h"

#include <QStandardPaths>

namespace Enrolix {

IniSettingsStore::IniSettingsStore(const QString& filePath) : m_settings(filePath, QSettings::IniFormat) {}

QString IniSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/enrolix/enrolix.ini");
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& fallback) const
{
    const QMutexLocker lock(&m_mutex);
    // Another program (or the user) may have edited the file since the last read.
    m_settings.sync();
    const QVariant value = m_settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return fallback;
    // A value that INI parsing turned into a list ("a, b") is joined back into its text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    const QMutexLocker lock(&m_mutex);
    m_settings.setValue(section + QLatin1Char('/') + key, value);
    m_settings.sync();
}

} // namespace Enrolix
