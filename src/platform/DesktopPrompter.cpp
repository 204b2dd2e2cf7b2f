#include "platform/DesktopPrompter.h"

#include "platform/TextFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace Enrolix {
namespace {

QMessageBox::StandardButton standardButton(Button button)
{
    switch (button) {
    case Button::Ok:
        return QMessageBox::Ok;
    case Button::Cancel:
        return QMessageBox::Cancel;
    case Button::Yes:
        return QMessageBox::Yes;
    case Button::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// The window a box is shown over: the active window while it is on screen, else the program's
// only window on screen. A closed window may be waiting for its deletion, which can come while
// the box is open; none when the choice is not clear.
QWindow* ownerWindow()
{
    const QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible())
        return active->windowHandle();
    QWindow* shown = nullptr;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        const bool window = widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog;
        if (!window || !widget->isVisible())
            continue;
        if (shown)
            return nullptr;
        shown = widget->windowHandle();
    }
    return shown;
}

} // namespace

Button DesktopPrompter::ask(const Message& message)
{
    // No parent widget: a parent deletes its children with itself, even a box still running its
    // event loop on this stack. The owner is only the box's transient parent, which Qt holds weakly.
    QMessageBox box;
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(message.title);
    box.setTextFormat(Qt::PlainText);
    // Lines are joined by a lone carriage return; shown as separate lines.
    box.setText(TextFiles::withLfLineEnds(message.text));
    QMessageBox::StandardButtons buttons;
    for (Button button : message.buttons)
        buttons |= standardButton(button);
    box.setStandardButtons(buttons);
    box.setDefaultButton(standardButton(message.defaultButton));
    box.winId();
    box.windowHandle()->setTransientParent(ownerWindow());
    const int pressed = box.exec();
    for (Button button : message.buttons) {
        if (pressed == standardButton(button))
            return button;
    }
    // Escape or the close box on a box without Cancel: the default answer.
    return message.buttons.contains(Button::Cancel) ? Button::Cancel : message.defaultButton;
}

} // namespace Enrolix
