#include "support/ModalBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

namespace Enrolix::Testing {
namespace {

constexpr int kPollMilliseconds = 10;
// How long a box may stay open after its answer, or wait for its answer's condition: 5 s.
constexpr int kPatiencePolls = 500;

QString caption(Button button)
{
    switch (button) {
    case Button::Ok:
        return QStringLiteral("OK");
    case Button::Cancel:
        return QStringLiteral("Cancel");
    case Button::Yes:
        return QStringLiteral("Yes");
    case Button::No:
        return QStringLiteral("No");
    }
    return QString();
}

QString shownCaption(const QAbstractButton* button)
{
    return QString(button->text()).remove(QLatin1Char('&'));
}

QAbstractButton* buttonCaptioned(QMessageBox& box, const QString& wanted)
{
    for (QAbstractButton* button : box.buttons()) {
        if (shownCaption(button) == wanted)
            return button;
    }
    return nullptr;
}

} // namespace

QWidget* windowUnder(const QMessageBox& box)
{
    if (QWidget* parent = box.parentWidget())
        return parent->window();
    const QWindow* handle = box.windowHandle();
    const QWindow* owner = handle ? handle->transientParent() : nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (owner && window->windowHandle() == owner)
            return window;
    }
    return nullptr;
}

ModalBoxAnswerer::ModalBoxAnswerer(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(kPollMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &ModalBoxAnswerer::poll);
    m_timer.start();
}

void ModalBoxAnswerer::expect(const Message& message, Button answer, std::function<void(QMessageBox&)> whileOpen,
                              std::function<bool()> answerWhen)
{
    m_expected.append({message, answer, std::move(whileOpen), std::move(answerWhen)});
}

QStringList ModalBoxAnswerer::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& left : m_expected)
        all << QStringLiteral("never shown: ") + left.message.text;
    return all;
}

void ModalBoxAnswerer::check(QMessageBox& box, const Expectation& expected)
{
    const Message& message = expected.message;
    if (box.windowTitle() != message.title)
        m_problems << QStringLiteral("title \"%1\" instead of \"%2\"").arg(box.windowTitle(), message.title);
    if (box.text() != QString(message.text).replace(QLatin1Char('\r'), QLatin1Char('\n')))
        m_problems << QStringLiteral("text \"%1\" instead of \"%2\"").arg(box.text(), message.text);
    QStringList shown;
    for (const QAbstractButton* button : box.buttons())
        shown << shownCaption(button);
    QStringList wanted;
    for (Button button : message.buttons)
        wanted << caption(button);
    shown.sort();
    wanted.sort();
    if (shown != wanted)
        m_problems << QStringLiteral("buttons %1 instead of %2").arg(shown.join(u','), wanted.join(u','));
    if (!box.defaultButton() || shownCaption(box.defaultButton()) != caption(message.defaultButton))
        m_problems << QStringLiteral("default button is not %1").arg(caption(message.defaultButton));
    if (box.icon() != QMessageBox::NoIcon)
        m_problems << QStringLiteral("box \"%1\" has an icon").arg(message.text);
    // A closed window may be waiting for its deletion, which would take the box along.
    if (const QWidget* owner = windowUnder(box); owner && !owner->isVisible())
        m_problems << QStringLiteral("box \"%1\" belongs to a closed window").arg(message.text);
}

void ModalBoxAnswerer::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    if (box == m_answered) {
        if (++m_pollsSinceAnswer > kPatiencePolls) {
            m_problems << QStringLiteral("box \"%1\" stayed open after its answer").arg(box->text());
            m_pollsSinceAnswer = 0;
            box->reject();
        }
        return;
    }
    if (m_expected.isEmpty()) {
        m_problems << QStringLiteral("unexpected box [%1] \"%2\"").arg(box->windowTitle(), box->text());
        m_answered = box;
        m_pollsSinceAnswer = 0;
        box->reject();
        return;
    }
    const QPointer<QMessageBox> guard(box);
    if (box != m_current) {
        m_current = box;
        m_pollsWaiting = 0;
        check(*box, m_expected.first());
        if (m_expected.first().whileOpen)
            m_expected.first().whileOpen(*box);
    }
    if (!guard)
        return;
    const Expectation& next = m_expected.first();
    if (next.answerWhen && !next.answerWhen() && ++m_pollsWaiting <= kPatiencePolls)
        return;
    if (next.answerWhen && m_pollsWaiting > kPatiencePolls)
        m_problems << QStringLiteral("box \"%1\" answered although its condition never held").arg(next.message.text);
    const Expectation answered = m_expected.takeFirst();
    m_answered = box;
    m_pollsSinceAnswer = 0;
    if (QAbstractButton* button = buttonCaptioned(*box, caption(answered.answer))) {
        button->click();
    } else {
        m_problems
            << QStringLiteral("box \"%1\" has no button %2").arg(answered.message.text, caption(answered.answer));
        box->reject();
    }
}

} // namespace Enrolix::Testing
