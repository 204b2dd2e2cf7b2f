// Every caption, label and button text of every window fits its control at the window's design
// size, measured with the fonts this machine has: a substituted font is often wider than the one
// the design was drawn with. The menu bar and the toolbar lay themselves out and are left out.
#include "admin/Windows.h"
#include "admin/frmAbout.h"
#include "admin/frmCreate.h"
#include "admin/frmDirSelect.h"
#include "admin/frmFirstTime.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"
#include "admin/frmOptions.h"
#include "admin/frmSure.h"
#include "attendant/frmAutoAttend.h"
#include "lottery/frmDraw.h"
#include "support/Controls.h"
#include "support/NamedCases.h"
#include "support/OpenEvent.h"
#include "support/TestContext.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <optional>

using namespace Enrolix;
using Testing::control;

namespace {

// A text as its control draws it: the area it is drawn in and the drawing flags.
struct DrawnText
{
    QString text;
    QRect area;
    int flags;
};

std::optional<DrawnText> labelText(const QLabel& label)
{
    if (label.text().isEmpty() || label.textFormat() == Qt::RichText)
        return std::nullopt;
    const int margin = label.margin();
    QRect area = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    const Qt::Alignment align = QStyle::visualAlignment(label.layoutDirection(), label.alignment());
    // A framed label keeps half an "x" free on the side its text is aligned to.
    int indent = label.indent();
    if (indent < 0 && label.frameWidth() > 0)
        indent = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
    if (indent > 0) {
        if (align & Qt::AlignLeft)
            area.setLeft(area.left() + indent);
        if (align & Qt::AlignRight)
            area.setRight(area.right() - indent);
        if (align & Qt::AlignTop)
            area.setTop(area.top() + indent);
        if (align & Qt::AlignBottom)
            area.setBottom(area.bottom() - indent);
    }
    int flags = int(align);
    if (label.wordWrap())
        flags |= Qt::TextWordWrap;
    if (label.buddy())
        flags |= Qt::TextShowMnemonic;
    return DrawnText{label.text(), area, flags};
}

std::optional<DrawnText> buttonText(const QAbstractButton& button)
{
    if (button.text().isEmpty())
        return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (qobject_cast<const QCheckBox*>(&button)) {
        contents = QStyle::SE_CheckBoxContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    } else if (qobject_cast<const QRadioButton*>(&button)) {
        contents = QStyle::SE_RadioButtonContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    }
    return DrawnText{button.text(), button.style()->subElementRect(contents, &option, &button), flags};
}

bool inBar(const QWidget* control)
{
    for (const QWidget* up = control; up; up = up->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(up) || qobject_cast<const QToolBar*>(up))
            return true;
    }
    return false;
}

QString where(const QWidget& window, const QWidget& control)
{
    return window.objectName() + QLatin1Char('/') + control.objectName();
}

// Each caption that its control cuts, and each control that its window cuts.
QStringList cutTexts(QWidget& window)
{
    QStringList problems;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || inBar(control) || qobject_cast<QToolButton*>(control))
            continue;
        std::optional<DrawnText> drawn;
        if (auto* label = qobject_cast<QLabel*>(control))
            drawn = labelText(*label);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            drawn = buttonText(*button);
        if (!drawn)
            continue;
        const QRect needed = control->fontMetrics().boundingRect(drawn->area, drawn->flags, drawn->text);
        if (!drawn->area.contains(needed)) {
            problems << QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                            .arg(where(window, *control), drawn->text)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(drawn->area.width())
                            .arg(drawn->area.height());
        }
        const QRect placed(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (!window.rect().contains(placed))
            problems << where(window, *control) + QStringLiteral(" reaches outside its window");
    }
    return problems;
}

} // namespace

class TestTextFit : public QObject
{
    Q_OBJECT

    using Open = std::function<QWidget&(Windows&, Testing::TestContext&)>;
    static const QList<QPair<const char*, Open>>& windows()
    {
        static const QList<QPair<const char*, Open>> all{
            {"frmMain", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.main(); }},
            {"frmCreate", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.create(); }},
            {"frmLocation",
             [](Windows& w, Testing::TestContext&) -> QWidget& {
                 w.location().setCurrentEvent(QStringLiteral("E00012"));
                 return w.location();
             }},
            {"frmSure",
             [](Windows& w, Testing::TestContext& test) -> QWidget& {
                 // The question names the selected event.
                 Testing::OpenEvent::create(test.folders, QStringLiteral("E00012"));
                 w.main().RefreshEventList();
                 control<QListWidget>(w.main(), "lstEvent")->setCurrentRow(0);
                 return w.sure();
             }},
            {"frmOptions", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.options(); }},
            {"frmDirSelect", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.dirSelect(); }},
            {"frmDraw", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.draw(); }},
            {"frmAutoAttend", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.attendant(); }},
            {"frmFirstTime", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.welcome(); }},
            {"frmAbout", [](Windows& w, Testing::TestContext&) -> QWidget& { return w.about(); }},
        };
        return all;
    }

private Q_SLOTS:
    void everyCaption_atDesignSize_fitsItsControl_data() { Testing::addRowPerCase(windows()); }
    void everyCaption_atDesignSize_fitsItsControl()
    {
        QFETCH(int, row);
        Testing::TestContext test;
        Windows all(test.context);
        QWidget& window = windows().at(row).second(all, test);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.objectName(), QString::fromLatin1(windows().at(row).first));
        const QStringList problems = cutTexts(window);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        ENROLIX_VERIFY_BOXES(test.prompter);
    }
};

QTEST_MAIN(TestTextFit)
#include "test_textfit.moc"
