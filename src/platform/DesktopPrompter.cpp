#include "platform/DesktopPrompter.h"

#include "platform/TextFiles.h"

#include <QApplication>
#include <QMessageBox>

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

} // namespace

Button DesktopPrompter::ask(const Message& message)
{
    QMessageBox box(QApplication::activeWindow());
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
    const int pressed = box.exec();
    for (Button button : message.buttons) {
        if (pressed == standardButton(button))
            return button;
    }
    // Escape or the close box on a box without Cancel: the default answer.
    return message.buttons.contains(Button::Cancel) ? Button::Cancel : message.defaultButton;
}

} // namespace Enrolix
