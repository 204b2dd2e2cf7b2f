#pragma once

#include <QUrl>

namespace Enrolix {

// The system's web browser, where a person signs in to a mail provider.
class Browser
{
public:
    virtual ~Browser() = default;
    // Opens the address; false when no browser could be started.
    virtual bool open(const QUrl& address) = 0;
};

} // namespace Enrolix
