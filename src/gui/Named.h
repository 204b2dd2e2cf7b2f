#pragma once

#include <QLatin1String>
#include <QString>

namespace Enrolix {

// The control with its object name, and the name assistive technology reads when it has no
// caption of its own.
template <typename Widget> Widget* named(Widget* widget, const char* name, const QString& accessibleName = {})
{
    widget->setObjectName(QLatin1String(name));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

} // namespace Enrolix
