#pragma once

#include "platform/SettingsStore.h"

#include <QMutex>
#include <QSettings>

namespace Enrolix {

// The settings store as an INI file, normally ~/.config/enrolix/enrolix.ini. Safe to use from
// several threads: the attendant's pass reads its mail profile on a worker thread.
class IniSettingsStore final : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString& filePath = defaultFilePath());

    static QString defaultFilePath();

    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;

private:
    mutable QMutex m_mutex;
    mutable QSettings m_settings;
};

} // namespace Enrolix
