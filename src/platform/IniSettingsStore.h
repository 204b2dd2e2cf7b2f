#pragma once

#include "platform/SettingsStore.h"

#include <QMutex>
#include <QSettings>

namespace Enrolix {

// The settings store as an INI file, normally ~/.config/enrolix/enrolix.ini. Safe to use from
// several threads: the attendant's pass reads its mail profile on a worker thread. The file may
// hold mail passwords, so it is readable by its owner only once written, and once opened while
// a section in it holds a non-empty value of secretKey (none when it is empty).
class IniSettingsStore final : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString& filePath = defaultFilePath(), const QString& secretKey = {});

    static QString defaultFilePath();

    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    void remove(const QString& section, const QString& key) override;

private:
    bool holdsSecret(const QString& secretKey) const;
    // Owner-only permissions (0600); a missing file is created with them, empty.
    void keepPrivate() const;

    mutable QMutex m_mutex;
    mutable QSettings m_settings;
};

} // namespace Enrolix
