#pragma once

#include "platform/DesktopNotifier.h"

namespace Enrolix {

// Notices through the freedesktop notification service (org.freedesktop.Notifications) on the
// user's session bus. Connects only when the first notice is shown, so a program that never
// has one never touches the bus.
class DBusDesktopNotifier final : public DesktopNotifier
{
public:
    // application names the sender of the notices; icon and desktopEntry are the names of the
    // program's icon and desktop file, without their suffixes.
    DBusDesktopNotifier(const QString& application, const QString& icon, const QString& desktopEntry);

    bool notify(const Notice& notice) override;

private:
    QString m_application;
    QString m_icon;
    QString m_desktopEntry;
};

} // namespace Enrolix
