#pragma once

#include "platform/Message.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QMessageBox;
class QWidget;

namespace Enrolix::Testing {

// The program's window that the box belongs to and is shown over; none for a box of its own.
QWidget* windowUnder(const QMessageBox& box);

// Answers the real modal message boxes of a test from a script, as a person would: it watches for
// the application's modal box, checks its title, text, buttons and owner, and presses a button.
// A box that comes when none is expected is closed at once, one left open after its answer
// within seconds, and either is recorded, so no test ever waits on a box.
class ModalBoxAnswerer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModalBoxAnswerer)

public:
    explicit ModalBoxAnswerer(QObject* parent = nullptr);

    // Expects the message next and presses the answer's button in it. whileOpen runs first, with
    // the box on screen; the answer then waits until answerWhen, when given, holds (5 s at most).
    void expect(const Message& message, Button answer = Button::Ok, std::function<void(QMessageBox&)> whileOpen = {},
                std::function<bool()> answerWhen = {});

    // The mismatches and unexpected boxes so far, plus every expected box that never came.
    QStringList problems() const;

private:
    struct Expectation
    {
        Message message;
        Button answer;
        std::function<void(QMessageBox&)> whileOpen;
        std::function<bool()> answerWhen;
    };
    void poll();
    void check(QMessageBox& box, const Expectation& expected);

    QTimer m_timer;
    QList<Expectation> m_expected;
    QStringList m_problems;
    QPointer<QMessageBox> m_current;
    int m_pollsWaiting{0};
    QPointer<QMessageBox> m_answered;
    int m_pollsSinceAnswer{0};
};

} // namespace Enrolix::Testing
