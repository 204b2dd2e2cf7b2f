#pragma once

#include "platform/Keyring.h"

#include <QMap>
#include <QMutex>

namespace Enrolix::Testing {

// A keyring in memory; unavailable on demand, as on a machine without a Secret Service.
class MemoryKeyring final : public Keyring
{
public:
    bool available() override { return isAvailable; }
    std::optional<QString> read(const QString& account) override
    {
        const QMutexLocker lock(&m_mutex);
        if (!isAvailable || !secrets.contains(account))
            return std::nullopt;
        return secrets.value(account);
    }
    bool write(const QString& account, const QString& secret, QString& failure) override
    {
        const QMutexLocker lock(&m_mutex);
        if (!isAvailable || !refusal.isEmpty()) {
            failure = isAvailable ? refusal : QStringLiteral("no keyring");
            return false;
        }
        secrets.insert(account, secret);
        return true;
    }

    bool isAvailable{true};
    // When set, every write fails with it, as a keyring locked since it was read.
    QString refusal;
    QMap<QString, QString> secrets;

private:
    QMutex m_mutex;
};

} // namespace Enrolix::Testing
