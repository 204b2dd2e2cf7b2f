#pragma once

#include "platform/SystemInfo.h"

namespace Enrolix {

// No registry here: the system information tool is looked for on PATH.
class UnixSystemInfo final : public SystemInfo
{
public:
    bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) override;
    bool fileExists(const QString& path) override;
    QString findOnPath() override;
    bool start(const QString& program) override;
};

} // namespace Enrolix
