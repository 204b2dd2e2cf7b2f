#include "support/ScriptedPrompter.h"

namespace Enrolix::Testing {
namespace {

QString describe(const Message& message)
{
    QStringList buttons;
    for (Button button : message.buttons)
        buttons << QString::number(int(button));
    return QStringLiteral("[%1] \"%2\" buttons %3")
        .arg(message.title, QString(message.text).replace(QLatin1Char('\r'), QStringLiteral("\\r")),
             buttons.join(QLatin1Char(',')));
}

} // namespace

void ScriptedPrompter::expect(const Message& message, Button answer)
{
    m_expected.append({message, answer});
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
        next.message.buttons != message.buttons) {
        m_problems << QStringLiteral("expected ") + describe(next.message) + QStringLiteral(" but got ") +
                          describe(message);
    }
    return next.answer;
}

QStringList ScriptedPrompter::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& left : m_expected)
        all << QStringLiteral("never shown ") + describe(left.message);
    return all;
}

void ScriptedPrompter::reset()
{
    m_expected.clear();
    m_shown.clear();
    m_problems.clear();
}

} // namespace Enrolix::Testing
