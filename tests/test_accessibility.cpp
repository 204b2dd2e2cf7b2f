// Every control a person uses can be reached by assistive technology: boxes and lists carry a
// label as buddy or an accessible name, icon-only buttons a tooltip and an accessible name.
#include "admin/Windows.h"
#include "admin/frmAbout.h"
#include "admin/frmAccount.h"
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
#include "support/TestContext.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSet>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace Enrolix;
using Testing::control;

class TestAccessibility : public QObject
{
    Q_OBJECT

    static QStringList unnamedControls(QWidget& window)
    {
        QSet<const QWidget*> labelled;
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->buddy())
                labelled.insert(label->buddy());
        QStringList problems;
        for (QWidget* control : window.findChildren<QWidget*>()) {
            // Qt's own parts of a compound control (a view's header, the menu bar's overflow
            // button) are named through the control they belong to.
            if (qobject_cast<QHeaderView*>(control) || control->objectName().startsWith(QLatin1String("qt_")))
                continue;
            const bool needsName = qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                                   qobject_cast<QTextEdit*>(control) || qobject_cast<QAbstractItemView*>(control) ||
                                   qobject_cast<QComboBox*>(control) || qobject_cast<QProgressBar*>(control) ||
                                   qobject_cast<QAbstractSpinBox*>(control);
            // Parts of a compound control (the line edit inside a combo box) are named by it.
            if (needsName && !qobject_cast<QComboBox*>(control->parentWidget()) &&
                !qobject_cast<QAbstractSpinBox*>(control->parentWidget()) && !labelled.contains(control) &&
                control->accessibleName().isEmpty())
                problems << window.objectName() + QLatin1Char('/') + control->objectName() + QLatin1Char(' ') +
                                QString::fromLatin1(control->metaObject()->className());
            if (auto* button = qobject_cast<QToolButton*>(control);
                button && button->toolButtonStyle() == Qt::ToolButtonIconOnly && button->isVisibleTo(&window) &&
                (button->toolTip().isEmpty() || button->accessibleName().isEmpty()))
                problems << window.objectName() + QLatin1Char('/') + button->objectName() + QStringLiteral(" (icon)");
        }
        return problems;
    }

private Q_SLOTS:
    void everyWindow_namesEveryControl()
    {
        Testing::TestContext test;
        Windows windows(test.context);
        const QList<QWidget*> all{&windows.main(),    &windows.create(),    &windows.location(),  &windows.sure(),
                                  &windows.options(), &windows.dirSelect(), &windows.attendant(), &windows.welcome(),
                                  &windows.about(),   &windows.draw(),      &windows.account()};
        QStringList problems;
        for (QWidget* window : all)
            problems << unnamedControls(*window);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void accountDialog_portsAndSecurity_carryTheirNames()
    {
        Testing::TestContext test;
        Windows windows(test.context);
        frmAccount& dialog = windows.account();
        const QList<QPair<const char*, QString>> named{{"spnIncomingPort", QStringLiteral("Incoming port")},
                                                       {"cboIncomingSecurity", QStringLiteral("Incoming security")},
                                                       {"spnOutgoingPort", QStringLiteral("Outgoing port")},
                                                       {"cboOutgoingSecurity", QStringLiteral("Outgoing security")},
                                                       {"lstResults", QStringLiteral("Test results")}};
        for (const auto& [name, accessibleName] : named)
            QCOMPARE(control<QWidget>(dialog, name)->accessibleName(), accessibleName);
        for (const char* box : {"txtAddress", "txtIncomingServer", "txtFolder", "txtOutgoingServer", "txtUser",
                                "txtPassword", "txtCommand", "txtClientId", "txtClientSecret"}) {
            const auto labels = dialog.findChildren<QLabel*>();
            QVERIFY2(std::any_of(labels.begin(), labels.end(),
                                 [&](const QLabel* label) { return label->buddy() == control<QWidget>(dialog, box); }),
                     box);
        }
    }

    void addressWindow_shown_readsTheAddressWithItsCaption()
    {
        Testing::TestContext test;
        Windows windows(test.context);
        frmLocation& window = windows.location();
        const QString caption = QStringLiteral("The new registration course address is:");
        for (const QString& event : {QStringLiteral("E00012"), QStringLiteral("E00013")}) {
            window.setCurrentEvent(event);
            window.show();
            QAccessibleInterface* address =
                QAccessible::queryAccessibleInterface(control<QLabel>(window, "lbladdress"));
            QVERIFY(address);
            QCOMPARE(address->text(QAccessible::Name),
                     QStringLiteral("https://example.org/courses/%1.html").arg(event));
            QCOMPARE(address->text(QAccessible::Description), caption);
            QVERIFY(address->state().focusable);
            window.hide();
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
