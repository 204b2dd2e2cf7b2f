#include "support/ScriptedPrompter.h"

namespace Enrolix::Testing {
namespace {

QString describe(const Message& message, Button defaultButton)
{
    QStringList buttons;
    for (Button button : message.buttons)
        buttons << QString::number(int(button));
    return QStringLiteral("[%1] \"%2\" buttons %3 default %4")
        .arg(message.title, QString(message.text).replace(QLatin1Char('\r'), QStringLiteral("\\r")),
             buttons.join(QLatin1Char(',')), QString::number(int(defaultButton)));
}

QString describe(const Message& message)
{
    return describe(message, message.defaultButton);
}

} // namespace

void ScriptedPrompter::expect(const Message& message, DefaultButton defaultButton, Button answer)
{
    m_expected.append({message, defaultButton.button, answer});
}

Button ScriptedPrompter::ask(const Message& message)
{
    m_shown.append(message);
    if (m_expected.isEmpty()) {
        m_problems << QStringLiteral("unexpected box ") + describe(message);
        return message.defaultButton;
    }
    const Expectation next = m_expected.takeFirst();
    if (next.message.title != message.title || next.message.text != message.text ||
        next.message.buttons != message.buttons || next.defaultButton != message.defaultButton) {
        m_problems << QStringLiteral("expected ") + describe(next.message, next.defaultButton) +
                          QStringLiteral(" but got ") + describe(message);
    }
    return next.answer;
}

QStringList ScriptedPrompter::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& left : m_expected)
        all << QStringLiteral("never shown ") + describe(left.message, left.defaultButton);
    return all;
}

void ScriptedPrompter::reset()
{
    m_expected.clear();
    m_shown.clear();
    m_problems.clear();
}

} // namespace Enrolix::Testing
