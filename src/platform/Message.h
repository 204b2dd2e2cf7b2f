#pragma once

#include <QList>
#include <QString>

namespace Enrolix {

enum class Button { Ok, Cancel, Yes, No };

// One message box as plain data: catalogue functions build it, a Prompter shows it.
// Lines of a multi-line text are joined by a single carriage return.
struct Message
{
    QString title;
    QString text;
    QList<Button> buttons{Button::Ok};
    Button defaultButton{Button::Ok};

    bool operator==(const Message&) const = default;
};

// The caption of every box that has no title of its own.
inline const QString kApplicationTitle = QStringLiteral("Quillmark");

// A box with only an OK button under the application title.
inline Message plainMessage(const QString& text)
{
    return Message{kApplicationTitle, text, {Button::Ok}, Button::Ok};
}

} // namespace Enrolix
