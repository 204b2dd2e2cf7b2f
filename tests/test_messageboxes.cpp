// The real message boxes of the desktop, shown over the windows as the coordinator meets them and
// answered through their buttons by a ModalBoxAnswerer, which never lets a box block a test.
#include "admin/AdminMessages.h"
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
#include "platform/DesktopPrompter.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsMessages.h"
#include "support/Controls.h"
#include "support/ModalBoxAnswerer.h"
#include "support/NamedCases.h"
#include "support/OpenEvent.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(Enrolix::Message)
Q_DECLARE_METATYPE(Enrolix::Button)

using namespace Enrolix;
using Testing::control;

class TestMessageBoxes : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<DesktopPrompter> m_prompter;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<Windows> m_windows;
    std::unique_ptr<Testing::ModalBoxAnswerer> m_answerer;
    // The window under the box of the current test, seen while the box was open.
    QPointer<QWidget> m_under;

    // Expects the box and notes which window it is shown over.
    void expectBox(const Message& message)
    {
        m_answerer->expect(message, Button::Ok, [this](QMessageBox& box) { m_under = Testing::windowUnder(box); });
    }
    void copyAttendees() { control<QToolBar>(m_windows->main(), "Toolbar1")->actions().at(3)->trigger(); }
    void openOptions()
    {
        m_answerer->expect(AdminMessages::optionsWarning());
        control<QAction>(m_windows->main(), "mnuOptions")->trigger();
    }

    // A window closed through its frame, and the command that shows a box afterwards in the
    // window that is then in front.
    struct FrameClose
    {
        std::function<QWidget&(TestMessageBoxes&)> open;
        std::function<QWidget&(TestMessageBoxes&)> thenBox;
        Message box;
        bool destroyed;
    };
    // Opens the window through the main window's menu entry.
    template <auto Window> static std::function<QWidget&(TestMessageBoxes&)> fromMainMenu(const char* entry)
    {
        return [entry](TestMessageBoxes& test) -> QWidget& {
            control<QAction>(test.m_windows->main(), entry)->trigger();
            return (test.m_windows.get()->*Window)();
        };
    }
    static QWidget& copyInMain(TestMessageBoxes& test)
    {
        test.copyAttendees();
        return test.m_windows->main();
    }
    static const QList<QPair<const char*, FrameClose>>& frameCloses()
    {
        static const QList<QPair<const char*, FrameClose>> cases{
            {"frmAbout",
             {[](TestMessageBoxes& test) -> QWidget& { return test.m_windows->about(); }, copyInMain,
              AdminMessages::nothingToCopy(), true}},
            {"frmSure",
             {[](TestMessageBoxes& test) -> QWidget& {
                  QListWidget* list = control<QListWidget>(test.m_windows->main(), "lstEvent");
                  list->setCurrentItem(list->item(0));
                  control<QAction>(test.m_windows->main(), "mnuClose")->trigger();
                  return test.m_windows->sure();
              },
              copyInMain, AdminMessages::nothingToCopy(), true}},
            {"frmOptions",
             {[](TestMessageBoxes& test) -> QWidget& {
                  test.openOptions();
                  return test.m_windows->options();
              },
              copyInMain, AdminMessages::nothingToCopy(), true}},
            {"frmDirSelect",
             {[](TestMessageBoxes& test) -> QWidget& {
                  test.openOptions();
                  control<QPushButton>(test.m_windows->options(), QStringLiteral("cmdSelectDir(%1)").arg(0))->click();
                  return test.m_windows->dirSelect();
              },
              [](TestMessageBoxes& test) -> QWidget& {
                  frmOptions& options = test.m_windows->options();
                  control<QLineEdit>(options, QStringLiteral("option(%1)").arg(6))->setText(QStringLiteral("soon"));
                  control<QPushButton>(options, "cmdOK")->click();
                  return options;
              },
              AdminMessages::mustBeNumeric(), true}},
            {"frmCreate",
             {fromMainMenu<&Windows::create>("mnuNew"), copyInMain, AdminMessages::nothingToCopy(), false}},
            {"frmLocation",
             {[](TestMessageBoxes& test) -> QWidget& {
                  fromMainMenu<&Windows::create>("mnuNew")(test);
                  frmCreate& create = test.m_windows->create();
                  control<QPlainTextEdit>(create, "txtTextBox1")->setPlainText(QStringLiteral("Safety"));
                  control<QPlainTextEdit>(create, "txtTextBox2")->setPlainText(QStringLiteral("May 4"));
                  control<QPushButton>(create, "cmdCreate")->click();
                  return test.m_windows->location();
              },
              copyInMain, AdminMessages::nothingToCopy(), false}},
            {"frmAutoAttend",
             {fromMainMenu<&Windows::attendant>("mnuBegin"), copyInMain, AdminMessages::nothingToCopy(), false}},
            {"frmFirstTime",
             {fromMainMenu<&Windows::welcome>("mnuStartup"), copyInMain, AdminMessages::nothingToCopy(), false}},
        };
        return cases;
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<Testing::TestContext>();
        m_prompter = std::make_unique<DesktopPrompter>();
        Testing::TestContext& test = *m_test;
        m_context = std::make_unique<AppContext>(AppContext{test.store, test.settings, *m_prompter, test.clipboard,
                                                            test.help, test.system, test.sessions(), test.files,
                                                            test.keyring, test.browser, test.accounts()});
        m_windows = std::make_unique<Windows>(*m_context);
        m_answerer = std::make_unique<Testing::ModalBoxAnswerer>();
        test.store.set(SettingsKeys::kFirstRun, QStringLiteral("False"));
        test.folders.write(test.folders.work() + QStringLiteral("Auto_Counter.txt"), "1\r\n");
        Testing::OpenEvent::create(test.folders, QStringLiteral("E00000"));
        m_windows->startUp();
        QTRY_COMPARE(QApplication::activeWindow(), &m_windows->main());
    }
    void cleanup()
    {
        m_windows.reset();
        ENROLIX_VERIFY_BOXES(*m_answerer);
        m_answerer.reset();
    }

    // --- the box itself
    void ask_showsTheMessageAndReturnsThePressedButton_data()
    {
        QTest::addColumn<Message>("message");
        QTest::addColumn<Button>("press");
        QTest::newRow("OK only") << AdminMessages::nothingToCopy() << Button::Ok;
        QTest::newRow("lines joined by CR") << AdminMessages::couldNotAccessFiles() << Button::Ok;
        QTest::newRow("Yes or No, No") << SettingsMessages::noCounterFound() << Button::No;
        QTest::newRow("Yes or No, Yes") << SettingsMessages::noCounterFound() << Button::Yes;
        QTest::newRow("OK or Cancel, Cancel") << SettingsMessages::creatingFile() << Button::Cancel;
    }
    void ask_showsTheMessageAndReturnsThePressedButton()
    {
        QFETCH(Message, message);
        QFETCH(Button, press);
        m_answerer->expect(message, press);
        QCOMPARE(m_prompter->ask(message), press);
    }

    // --- boxes after a window went away
    void box_afterAboutBoxOk_isShownOverTheMainWindow()
    {
        control<QAction>(m_windows->main(), "mnuAbout")->trigger();
        QPointer<frmAbout> about(&m_windows->about());
        QTRY_COMPARE(QApplication::activeWindow(), about.data());
        control<QPushButton>(about, "cmdOK")->click();
        expectBox(AdminMessages::nothingToCopy());
        copyAttendees();
        QCOMPARE(m_under.data(), &m_windows->main());
        QTRY_VERIFY(about.isNull());
    }

    void box_afterFrameClose_isShownOverTheWindowInFront_data() { Testing::addRowPerCase(frameCloses()); }
    void box_afterFrameClose_isShownOverTheWindowInFront()
    {
        QFETCH(int, row);
        const FrameClose& when = frameCloses().at(row).second;
        QPointer<QWidget> window(&when.open(*this));
        // As after a click into it: a box over it may have left no window active.
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window.data());
        QVERIFY(window->windowHandle()->close());
        expectBox(when.box);
        QWidget& front = when.thenBox(*this);
        QCOMPARE(m_under.data(), &front);
        if (when.destroyed)
            QTRY_VERIFY(window.isNull());
        else
            QVERIFY(!window->isVisible());
    }

    // --- the main window's list after another window of ours was in front
    void mainList_afterOwnBoxCloses_isNotRefreshed()
    {
        Testing::OpenEvent::create(m_test->folders, QStringLiteral("E00001"));
        frmMain& main = m_windows->main();
        // The focus goes from the box straight back to the main window, as a click into it does.
        m_answerer->expect(AdminMessages::nothingToCopy(), Button::Ok,
                           [&main](QMessageBox&) { main.activateWindow(); });
        copyAttendees();
        main.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &main);
        QCoreApplication::processEvents();
        QCOMPARE(control<QListWidget>(main, "lstEvent")->count(), 1);
    }

    void mainList_activatedFromTheAboutBox_isRefreshed()
    {
        control<QAction>(m_windows->main(), "mnuAbout")->trigger();
        QPointer<frmAbout> about(&m_windows->about());
        QTRY_COMPARE(QApplication::activeWindow(), about.data());
        Testing::OpenEvent::create(m_test->folders, QStringLiteral("E00001"));
        m_windows->main().activateWindow();
        QTRY_COMPARE(control<QListWidget>(m_windows->main(), "lstEvent")->count(), 2);
    }

    void box_ownerDestroyedWhileOpen_staysUntilAnswered()
    {
        control<QAction>(m_windows->main(), "mnuAbout")->trigger();
        QPointer<frmAbout> about(&m_windows->about());
        QTRY_COMPARE(QApplication::activeWindow(), about.data());
        m_answerer->expect(
            AdminMessages::systemInfoUnavailable(), Button::Ok,
            [&](QMessageBox& box) {
                m_under = Testing::windowUnder(box);
                about->close();
            },
            [&about] { return about.isNull(); });
        control<QPushButton>(about, "cmdSysInfo")->click();
        QVERIFY(about.isNull());
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_messageboxes.moc"
