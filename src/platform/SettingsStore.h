#pragma once

#include <QString>

namespace Enrolix {

// Text values addressed by section and key (the application is always "enrolix").
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // The stored text, or fallback when the key is absent.
    virtual QString read(const QString& section, const QString& key, const QString& fallback) const = 0;
    // Stores the text verbatim, creating the key if needed.
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
    // Takes the key out of the section; nothing happens when it is absent.
    virtual void remove(const QString& section, const QString& key) = 0;
};

} // namespace Enrolix
