#pragma once

#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>

namespace Enrolix::Testing {

// Keeps the values in memory and records every write in order. Reads and writes may come from
// the attendant's worker thread as well.
class MemorySettingsStore final : public SettingsStore
{
public:
    QString read(const QString& section, const QString& key, const QString& fallback) const override
    {
        const QMutexLocker lock(&m_mutex);
        return values.value(section + QLatin1Char('/') + key, fallback);
    }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        const QMutexLocker lock(&m_mutex);
        values.insert(section + QLatin1Char('/') + key, value);
        writes.append({key, value});
    }
    void remove(const QString& section, const QString& key) override
    {
        const QMutexLocker lock(&m_mutex);
        values.remove(section + QLatin1Char('/') + key);
    }
    void set(const QString& key, const QString& value) { values.insert(QStringLiteral("options/") + key, value); }

    QMap<QString, QString> values;
    QList<QPair<QString, QString>> writes;

private:
    mutable QMutex m_mutex;
};

} // namespace Enrolix::Testing
