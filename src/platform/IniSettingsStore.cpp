#include "platform/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace Enrolix {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

IniSettingsStore::IniSettingsStore(const QString& filePath, const QString& secretKey)
    : m_settings(filePath, QSettings::IniFormat)
{
    if (holdsSecret(secretKey))
        keepPrivate();
}

QString IniSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/enrolix/enrolix.ini");
}

bool IniSettingsStore::holdsSecret(const QString& secretKey) const
{
    if (secretKey.isEmpty())
        return false;
    const QStringList sections = m_settings.childGroups();
    return std::any_of(sections.begin(), sections.end(),
                       [this, &secretKey](const QString& section) { return !read(section, secretKey, {}).isEmpty(); });
}

void IniSettingsStore::keepPrivate() const
{
    const QString path = m_settings.fileName();
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile(path).open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly);
    } else {
        QFile::setPermissions(path, kOwnerOnly);
    }
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
    // Created private, a new file never stands readable by others; rewritten, it keeps that.
    keepPrivate();
    m_settings.setValue(section + QLatin1Char('/') + key, value);
    m_settings.sync();
    keepPrivate();
}

void IniSettingsStore::remove(const QString& section, const QString& key)
{
    const QMutexLocker lock(&m_mutex);
    keepPrivate();
    m_settings.remove(section + QLatin1Char('/') + key);
    m_settings.sync();
    keepPrivate();
}

} // namespace Enrolix
