#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "gui/AppContext.h"
#include "support/Controls.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;

class TestFrmAutoAttend : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestFolders> m_folders;
    Settings m_settings;
    std::unique_ptr<frmAutoAttend> m_window;

    struct Buttons
    {
        bool start, stop, exit, process;
    };
    void checkButtons(const Buttons& expected)
    {
        QCOMPARE(control<QPushButton>(m_window, "cmdStart")->isEnabled(), expected.start);
        QCOMPARE(control<QPushButton>(m_window, "cmdStop")->isEnabled(), expected.stop);
        QCOMPARE(control<QPushButton>(m_window, "cmdExit")->isEnabled(), expected.exit);
        QCOMPARE(control<QPushButton>(m_window, "cmdProcess")->isEnabled(), expected.process);
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<Testing::TestFolders>();
        m_settings = m_folders->settings();
        m_window = std::make_unique<frmAutoAttend>(m_settings);
    }
    void cleanup() { m_window.reset(); }

    void load_hiddenIdleWithInitialTexts()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Enrolix - Automated Processing"));
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_window->countdown().timerEnabled());
        QCOMPARE(m_window->countdown().iTimerSeconds(), qint16(600));
        QCOMPARE(control<QLineEdit>(m_window, "Text1")->text(), QStringLiteral("No Requests Processed"));
        QCOMPARE(control<QLineEdit>(m_window, "Text4")->text(), QStringLiteral("0"));
        QCOMPARE(control<QLineEdit>(m_window, "Text5")->text(), QString());
        QCOMPARE(control<QLineEdit>(m_window, "Text6")->text(), QString());
        QCOMPARE(control<QLabel>(m_window, "Label5")->text(), QStringLiteral("Email Connect Faliures:"));
        checkButtons({true, true, true, true});
        for (const char* name : {"Label2", "pbrAuto", "Label3", "Text1", "Label5", "Text4", "Label6", "Text5", "Label7",
                                 "Text6", "cmdExit", "cmdStop", "cmdStart", "cmdProcess"})
            QVERIFY2(m_window->findChild<QWidget*>(QString::fromLatin1(name)), name);
        for (QLineEdit* box : {control<QLineEdit>(m_window, "Text1"), control<QLineEdit>(m_window, "Text4"),
                               control<QLineEdit>(m_window, "Text5"), control<QLineEdit>(m_window, "Text6")})
            QVERIFY(!box->accessibleName().isEmpty());
    }

    void buttons_followTheStateTable()
    {
        control<QPushButton>(m_window, "cmdStart")->click();
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->countdown().timerEnabled());
        checkButtons({false, true, false, true});
        control<QPushButton>(m_window, "cmdStop")->click();
        QVERIFY(!m_window->countdown().timerEnabled());
        checkButtons({true, false, true, false});
        QSignalSpy left(m_window.get(), &frmAutoAttend::left);
        control<QPushButton>(m_window, "cmdExit")->click();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(left.size(), 1);
    }

    void stopAt250ThenStart_nextTickShows249()
    {
        control<QPushButton>(m_window, "cmdStart")->click();
        m_window->countdown().setTimerSeconds(250);
        control<QPushButton>(m_window, "cmdStop")->click();
        control<QPushButton>(m_window, "cmdStart")->click();
        m_window->countdown().tick();
        QCOMPARE(control<QLineEdit>(m_window, "Text6")->text(), QStringLiteral(" 249"));
        QCOMPARE(control<QProgressBar>(m_window, "pbrAuto")->value(), 42);
    }

    void processNow_runsAPassOnTheNextTick_buttonsUnchanged()
    {
        int passes = 0;
        m_window->setPass([&] {
            ++passes;
            m_window->countdown().passEnded();
        });
        control<QPushButton>(m_window, "cmdStart")->click();
        control<QPushButton>(m_window, "cmdStop")->click();
        // Stopped: Process Now is disabled; from the running state it can be pressed.
        control<QPushButton>(m_window, "cmdStart")->click();
        control<QPushButton>(m_window, "cmdProcess")->click();
        QVERIFY(m_window->countdown().timerEnabled());
        checkButtons({false, true, false, true});
        m_window->countdown().tick();
        QCOMPARE(passes, 1);
        QCOMPARE(control<QLineEdit>(m_window, "Text6")->text(), QStringLiteral(" 0"));
        QCOMPARE(control<QProgressBar>(m_window, "pbrAuto")->value(), 1);
        QCOMPARE(m_window->countdown().iTimerSeconds(), qint16(600));
    }

    // Clicks made while a pass runs elsewhere
    void clicksDuringAPass_takeEffectAtItsEnd_inOrder_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("timer");
        QTest::addColumn<bool>("visible");
        QTest::newRow("Stop") << QStringList{"cmdStop"} << false << true;
        QTest::newRow("Stop, then Start") << QStringList{"cmdStop", "cmdStart"} << true << true;
        QTest::newRow("Stop, then Hide") << QStringList{"cmdStop", "cmdExit"} << false << false;
        // Process Now was pressed while it could be: it starts the timer from the stopped state.
        QTest::newRow("Stop, then Process Now") << QStringList{"cmdStop", "cmdProcess"} << true << true;
    }
    void clicksDuringAPass_takeEffectAtItsEnd_inOrder()
    {
        QFETCH(QStringList, clicks);
        QFETCH(bool, timer);
        QFETCH(bool, visible);
        m_window->setPass([] {});
        control<QPushButton>(m_window, "cmdStart")->click();
        control<QPushButton>(m_window, "cmdProcess")->click();
        m_window->countdown().tick();
        QVERIFY(m_window->countdown().passRunning());
        QSignalSpy left(m_window.get(), &frmAutoAttend::left);
        for (const QString& name : clicks) {
            // Emitted as a click is: Hide is still disabled while the pass runs.
            auto* button = m_window->findChild<QPushButton*>(name);
            QVERIFY(button);
            QMetaObject::invokeMethod(button, "clicked", Q_ARG(bool, false));
        }
        // In the pass: no button, display or timer changed yet.
        checkButtons({false, true, false, true});
        QVERIFY(!m_window->countdown().timerEnabled());
        QVERIFY(m_window->isVisible());
        m_window->countdown().passEnded();
        QCOMPARE(m_window->countdown().timerEnabled(), timer);
        QCOMPARE(m_window->isVisible(), visible);
        QCOMPARE(left.size(), visible ? 0 : 1);
    }

    void listener_updatesTheDisplays()
    {
        m_window->statusChanged(QStringLiteral("Connecting..."));
        QCOMPARE(control<QLineEdit>(m_window, "Text5")->text(), QStringLiteral("Connecting..."));
        m_window->replySent(1);
        QCOMPARE(control<QLineEdit>(m_window, "Text1")->text(), QStringLiteral("1"));
        m_window->replySent(2);
        QCOMPARE(control<QLineEdit>(m_window, "Text1")->text(), QStringLiteral("2"));
        m_window->connectionFailed(1, QStringLiteral("imap://127.0.0.1:1: host unreachable"));
        QCOMPARE(control<QLineEdit>(m_window, "Text4")->text(), QStringLiteral(" 1"));
        QCOMPARE(control<QLineEdit>(m_window, "Text5")->toolTip(),
                 QStringLiteral("imap://127.0.0.1:1: host unreachable"));
    }

    void statusBoxes_neverKeepFocus()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        for (QLineEdit* box : {control<QLineEdit>(m_window, "Text4"), control<QLineEdit>(m_window, "Text5"),
                               control<QLineEdit>(m_window, "Text6")}) {
            box->setFocus();
            QTRY_VERIFY(!box->hasFocus());
        }
    }

    void startFromMainMenu_hidesMain_leavesProcessAlone()
    {
        Testing::TestContext test;
        Windows windows(test.context);
        windows.showMain();
        frmAutoAttend& attendant = windows.attendant();
        control<QPushButton>(attendant, "cmdStart")->click();
        control<QPushButton>(attendant, "cmdStop")->click(); // leaves Process Now disabled
        control<QPushButton>(attendant, "cmdExit")->click();
        QVERIFY(windows.main().isVisible());
        control<QAction>(windows.main(), "mnuBegin")->trigger();
        QVERIFY(!windows.main().isVisible());
        QVERIFY(attendant.isVisible());
        QVERIFY(attendant.countdown().timerEnabled());
        QVERIFY(!control<QPushButton>(attendant, "cmdExit")->isEnabled());
        QVERIFY(!control<QPushButton>(attendant, "cmdStart")->isEnabled());
        QVERIFY(control<QPushButton>(attendant, "cmdStop")->isEnabled());
        QVERIFY(!control<QPushButton>(attendant, "cmdProcess")->isEnabled());
        attendant.close();
        QVERIFY(windows.main().isVisible());
        ENROLIX_VERIFY_BOXES(test.prompter);
    }
};

QTEST_MAIN(TestFrmAutoAttend)
#include "test_frmautoattend.moc"
