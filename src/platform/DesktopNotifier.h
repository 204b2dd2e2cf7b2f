#pragma once

#include <QString>

namespace Enrolix {

// Shows a notice on the user's desktop: how a program without windows tells its user that
// something needs looking at.
class DesktopNotifier
{
public:
    struct Notice
    {
        QString summary;
        QString body;
        // Stays until the user dismisses it.
        bool urgent{false};
    };

    virtual ~DesktopNotifier() = default;
    // True when a notification service took the notice; false when there is none to take it
    // (no session bus, nobody serving notifications on it, or no answer in time).
    virtual bool notify(const Notice& notice) = 0;
};

} // namespace Enrolix
