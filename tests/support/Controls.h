#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace Enrolix::Testing {

inline const QObject* asObject(const QObject& window)
{
    return &window;
}
inline const QObject* asObject(const QObject* window)
{
    return window;
}
template <typename T> const QObject* asObject(const std::unique_ptr<T>& window)
{
    return window.get();
}
template <typename T> const QObject* asObject(const QPointer<T>& window)
{
    return window.data();
}

// The window's control of that objectName, as the user meets it. A control that is missing or of
// another type ends the test run at once: every step after it would test nothing.
template <typename Control, typename Window> Control* control(const Window& window, const QString& name)
{
    const QObject* owner = asObject(window);
    if (!owner)
        qFatal("no window to look for %s in", qPrintable(name));
    auto* found = owner->findChild<Control*>(name);
    if (!found)
        qFatal("%s has no control %s of the expected type", qPrintable(owner->objectName()), qPrintable(name));
    return found;
}

template <typename Control, typename Window> Control* control(const Window& window, const char* name)
{
    return control<Control>(window, QString::fromLatin1(name));
}

} // namespace Enrolix::Testing
