#pragma once

#include <QString>

namespace Enrolix {

// Where the platform's system information tool is, and starting it.
class SystemInfo
{
public:
    virtual ~SystemInfo() = default;
    // Reads a value of the platform's configuration registry. Returns false and empties KeyVal
    // when there is no such value (always, on a platform without a registry).
    virtual bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) = 0;
    virtual bool fileExists(const QString& path) = 0;
    // The platform's own system information program found on PATH, or empty.
    virtual QString findOnPath() = 0;
    // Starts the program as a separate process without waiting; false if it could not start.
    virtual bool start(const QString& program) = 0;
};

// Finds and starts the system information tool; returns false when there is none or it fails to start.
bool startSystemInformation(SystemInfo& system);

} // namespace Enrolix
