#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace Enrolix::Testing {

// A click as the window system delivers it: a press and a release waiting in the event queue,
// handled once the event loop turns.
inline void postClick(QWidget* button)
{
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

} // namespace Enrolix::Testing
