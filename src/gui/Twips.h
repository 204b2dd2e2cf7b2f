#pragma once

#include <QRect>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Enrolix {

// Lengths of the window designs are in twips: 1440 to the inch of the screen's logical resolution.
inline int twipsToPixels(int twips, const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return int(std::lround(double(twips) * dpi / 1440.0));
}

inline int pixelsToTwips(int pixels, const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return int(std::lround(double(pixels) * 1440.0 / dpi));
}

inline QRect twipsRect(int left, int top, int width, int height, const QWidget* widget)
{
    return QRect(twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
                 twipsToPixels(height, widget));
}

// Names a control after its design and places it at its design position, given in twips.
inline void placeControl(QWidget* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(twipsRect(left, top, width, height, control->parentWidget()));
}

// Widens a control whose caption the substituted font would cut; the design width is a minimum.
inline void fitCaption(QWidget* control)
{
    control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
}

// Like fitCaption for a control whose right edge stays: a caption that ends where its box
// begins, a button aligned with the one above it. It grows to the left.
inline void fitCaptionLeftwards(QWidget* control)
{
    const int extra = control->sizeHint().width() - control->width();
    if (extra > 0)
        control->setGeometry(std::max(0, control->x() - extra), control->y(), control->width() + extra,
                             control->height());
}

// Like fitCaption for a centred caption: the control grows equally on both sides, as far as its
// parent's edges allow.
inline void fitCaptionCentred(QWidget* control)
{
    const int room = control->parentWidget() ? control->parentWidget()->width() : control->sizeHint().width();
    const int width = std::min(control->sizeHint().width(), room);
    if (width <= control->width())
        return;
    const int left = std::clamp(control->x() - (width - control->width()) / 2, 0, room - width);
    control->setGeometry(left, control->y(), width, control->height());
}

} // namespace Enrolix
