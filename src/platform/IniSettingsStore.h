#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

namespace Enrolix {

// The settings store as an INI file, normally ~/.config/enrolix/enrolix.ini.
class IniSettingsStore final : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString& filePath = defaultFilePath());

    static QString defaultFilePath();

    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;

private:
    mutable QSettings m_settings;
};

} // namespace Enrolix
