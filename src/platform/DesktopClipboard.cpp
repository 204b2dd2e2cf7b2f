#include "platform/DesktopClipboard.h"

#include <QApplication>
#include <QClipboard>

namespace Enrolix {

void DesktopClipboard::clear()
{
    QApplication::clipboard()->clear();
}

void DesktopClipboard::setText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

void DesktopClipboard::beep()
{
    QApplication::beep();
}

} // namespace Enrolix
