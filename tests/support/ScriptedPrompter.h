#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QStringList>

namespace Enrolix::Testing {

// The button a box is expected to offer as its default, stated apart from the message itself.
struct DefaultButton
{
    Button button;
};

// Answers message boxes from a script. Every box must be the next expected one, with the same
// title, text, buttons and default button; anything else is recorded as a failure that the test checks.
class ScriptedPrompter final : public Prompter
{
public:
    // Expects the message with that default button and answers it with the given button.
    void expect(const Message& message, DefaultButton defaultButton, Button answer = Button::Ok);

    Button ask(const Message& message) override;

    // The mismatches and unexpected boxes so far, plus every expected box that never came.
    QStringList problems() const;
    // The boxes shown, in order.
    const QList<Message>& shown() const { return m_shown; }
    void reset();

private:
    struct Expectation
    {
        Message message;
        Button defaultButton;
        Button answer;
    };
    QList<Expectation> m_expected;
    QList<Message> m_shown;
    QStringList m_problems;
};

} // namespace Enrolix::Testing

// Fails the running test when a box was unexpected or different, or an expected one never came.
#define ENROLIX_VERIFY_BOXES(prompter)                                                                                 \
    do {                                                                                                               \
        const QStringList boxProblems = (prompter).problems();                                                         \
        QVERIFY2(boxProblems.isEmpty(), qPrintable(boxProblems.join(QLatin1Char('\n'))));                              \
    } while (false)
