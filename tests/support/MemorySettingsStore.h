#pragma once

#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>
#include <QPair>

namespace Enrolix::Testing {

// Keeps the values in memory and records every write in order.
class MemorySettingsStore final : public SettingsStore
{
public:
    QString read(const QString& section, const QString& key, const QString& fallback) const override
    {
        return values.value(section + QLatin1Char('/') + key, fallback);
    }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        values.insert(section + QLatin1Char('/') + key, value);
        writes.append({key, value});
    }
    void set(const QString& key, const QString& value) { values.insert(QStringLiteral("options/") + key, value); }

    QMap<QString, QString> values;
    QList<QPair<QString, QString>> writes;
};

} // namespace Enrolix::Testing
