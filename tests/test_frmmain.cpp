#include "admin/AdminMessages.h"
#include "admin/frmMain.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "support/Controls.h"
#include "support/OpenEvent.h"
#include "support/TestContext.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<frmMain> m_window;

    void createEvent(const QString& event, const QByteArray& list,
                     const QByteArray& description = Testing::OpenEvent::kDescription)
    {
        Testing::OpenEvent::create(m_test->folders, event, list, description);
    }
    void select(const QString& event)
    {
        const QList<QListWidgetItem*> items =
            control<QListWidget>(m_window, "lstEvent")->findItems(event, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        control<QListWidget>(m_window, "lstEvent")->setCurrentItem(items.first());
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<Testing::TestContext>();
        m_window = std::make_unique<frmMain>(m_test->context);
    }
    void cleanup()
    {
        m_window.reset();
        ENROLIX_VERIFY_BOXES(m_test->prompter);
    }

    void controls_haveNamesAndAccessibleNames()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Enrolix"));
        for (const char* name : {"lstEvent", "txtName", "txtAttendees"}) {
            QWidget* control = m_window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control, name);
            QVERIFY(!control->accessibleName().isEmpty());
        }
    }

    void show_listsOpenEventsInOrder()
    {
        for (const char* name : {"E00003.sc", "E00001.sc", "E00001.scn", "E00002.sc.cl", "E00002.scn.cl"})
            Testing::TestFolders::write(m_test->folders.work() + QLatin1String(name), "");
        m_window->show();
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->count(), 2);
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->item(0)->text(), QStringLiteral("E00001"));
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->item(1)->text(), QStringLiteral("E00003"));
        QCOMPARE(m_window->selectedEvent(), QString());
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtAttendees")->toPlainText(), QString());
    }

    void select_showsDescriptionAndList()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\nBob\r\nCleo\r\n", "Safety\r\nMay 4\r\n");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtAttendees")->toPlainText(), QStringLiteral("Ann\nBob\nCleo\n"));
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Ann\r\nBob\r\nCleo\r\n"));
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtName")->toPlainText(), QStringLiteral("Safety\nMay 4\n"));
        QCOMPARE(m_window->selectedEvent(), QStringLiteral("E00001"));
    }

    void select_byMouseAndKeyboard_showsTheEvent()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\n");
        createEvent(QStringLiteral("E00002"), "Bob\r\n");
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QListWidget* list = control<QListWidget>(m_window, "lstEvent");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Ann\r\n"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Bob\r\n"));
    }

    void select_emptyRecord_saysNoAttendees_emptyDescription_clearsName()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\n", "First\r\n");
        createEvent(QStringLiteral("E00002"), "", "");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        select(QStringLiteral("E00002"));
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtAttendees")->toPlainText(),
                 QStringLiteral("No attendees in file."));
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtName")->toPlainText(), QString());
    }

    void select_readsAgainFromDisk()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\n");
        createEvent(QStringLiteral("E00002"), "");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        Testing::TestFolders::write(Testing::OpenEvent(m_test->folders, QStringLiteral("E00001")).listPath(),
                                    "Ann\r\nBob\r\n");
        select(QStringLiteral("E00002"));
        select(QStringLiteral("E00001"));
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Ann\r\nBob\r\n"));
    }

    void select_vanishedEvent_reportsAndRefreshes()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\n");
        createEvent(QStringLiteral("E00002"), "");
        m_window->RefreshEventList();
        const QString list = Testing::OpenEvent(m_test->folders, QStringLiteral("E00001")).listPath();
        QVERIFY(QFile::rename(list, list + QStringLiteral(".cl")));
        m_test->prompter.expect(AdminMessages::eventNoLongerOpen(QStringLiteral("E00001")),
                                Testing::DefaultButton{Button::Ok});
        select(QStringLiteral("E00001"));
        QTRY_COMPARE(control<QListWidget>(m_window, "lstEvent")->count(), 1);
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->item(0)->text(), QStringLiteral("E00002"));
        QCOMPARE(m_window->selectedEvent(), QString());
    }

    void refresh_missingFolder_showsErrorOnce_keepsList()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\n");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        m_test->settings.Working_Files_Directory = m_test->folders.root() + QStringLiteral("unplugged/");
        const Message error = AdminMessages::couldNotAccessFiles();
        QCOMPARE(error.title, QStringLiteral("Error"));
        QCOMPARE(error.text, QStringLiteral("Could not access configuration files.\rPotential Causes:\r- Network drive "
                                            "not available.\r- You don't have permissions to create files in the "
                                            "specified foler."));
        m_test->prompter.expect(error, Testing::DefaultButton{Button::Ok});
        m_window->RefreshEventList();
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->count(), 1);
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtAttendees")->toPlainText(), QString());
    }

    // --- commands
    void menus_captionsAndNoShortcuts()
    {
        const QList<QPair<const char*, const char*>> entries{{"mnuNew", "&New Event"},
                                                             {"mnuClose", "&Close Event"},
                                                             {"mnuExit", "E&xit"},
                                                             {"mnuOptions", "&Options"},
                                                             {"mnuStartup", "&Startup Screen"},
                                                             {"mnuBegin", "&Start Auto Processing"},
                                                             {"mnuContent", "&Content"},
                                                             {"mnuAbout", "&About"}};
        for (const auto& [name, caption] : entries) {
            auto* action = m_window->findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(action, name);
            QCOMPARE(action->text(), QString::fromLatin1(caption));
            QVERIFY(action->shortcut().isEmpty());
        }
        QCOMPARE(control<QMenu>(m_window, "mnuAP")->title(), QStringLiteral("&Processing"));
    }

    void toolbar_fiveIconButtons_dispatchByPosition()
    {
        const QList<QAction*> buttons = control<QToolBar>(m_window, "Toolbar1")->actions();
        QCOMPARE(buttons.size(), 5);
        const QStringList tips{"Create New Event", "Close Registration for Event", "Start processing",
                               "Copy Attendees to Clipboard", "Help"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(buttons[i]->toolTip(), tips[i]);
            QCOMPARE(buttons[i]->icon().pixmap(16, 16).size(), QSize(16, 16));
            auto* widget =
                qobject_cast<QToolButton*>(control<QToolBar>(m_window, "Toolbar1")->widgetForAction(buttons[i]));
            QVERIFY(widget);
            QCOMPARE(widget->toolButtonStyle(), Qt::ToolButtonIconOnly);
            QVERIFY(!widget->accessibleName().isEmpty());
        }
        QSignalSpy created(m_window.get(), &frmMain::newEventRequested);
        QSignalSpy closed(m_window.get(), &frmMain::closeEventRequested);
        QSignalSpy started(m_window.get(), &frmMain::autoProcessingRequested);
        buttons[0]->trigger();
        buttons[1]->trigger();
        buttons[2]->trigger();
        QCOMPARE(created.size(), 1);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(started.size(), 1);
        buttons[4]->trigger();
        control<QAction>(m_window, "mnuContent")->trigger();
        QCOMPARE(m_test->help.shown.size(), 2);
        QVERIFY(m_test->help.shown.first().endsWith(QStringLiteral("|Welcome.htm")));
        QCOMPARE(m_test->help.lastOwner, m_window.get());
    }

    void copy_nothingOrNoAttendees_saysNothingToCopy()
    {
        createEvent(QStringLiteral("E00001"), "");
        m_window->RefreshEventList();
        QAction* copy = control<QToolBar>(m_window, "Toolbar1")->actions().at(3);
        m_test->prompter.expect(AdminMessages::nothingToCopy(), Testing::DefaultButton{Button::Ok});
        copy->trigger();
        select(QStringLiteral("E00001"));
        m_test->prompter.expect(AdminMessages::nothingToCopy(), Testing::DefaultButton{Button::Ok});
        copy->trigger();
        QCOMPARE(m_test->clipboard.text, QStringLiteral("(untouched)"));
        QCOMPARE(m_test->clipboard.clears, 0);
    }

    void copy_threeRegistrants_placesExactTextOnClipboard()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\nBob\r\nCleo\r\n");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        m_test->prompter.expect(AdminMessages::attendeesCopied(), Testing::DefaultButton{Button::Ok});
        control<QToolBar>(m_window, "Toolbar1")->actions().at(3)->trigger();
        QCOMPARE(m_test->clipboard.text, QStringLiteral("Ann\r\nBob\r\nCleo\r\n"));
        QCOMPARE(m_test->clipboard.clears, 1);
        QCOMPARE(AdminMessages::attendeesCopied().title, QStringLiteral("Attendees"));
    }

    void exit_andFrameClose_requestTheEnd()
    {
        QSignalSpy exits(m_window.get(), &frmMain::exitRequested);
        control<QAction>(m_window, "mnuExit")->trigger();
        m_window->show();
        m_window->close();
        QCOMPARE(exits.size(), 2);
        QCOMPARE(m_test->store.writes.size(), 0);
    }

    // --- layout rules (twips at the test screen's resolution)
    void resize_belowMinimum_stopsAt8000By4000()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->resize(twipsToPixels(5000, m_window.get()), twipsToPixels(3000, m_window.get()));
        const QSize outer = m_window->frameGeometry().size();
        QVERIFY(qAbs(outer.width() - twipsToPixels(8000, m_window.get())) <= 1);
        QVERIFY(qAbs(outer.height() - twipsToPixels(4000, m_window.get())) <= 1);
        for (QWidget* box : {static_cast<QWidget*>(control<QPlainTextEdit>(m_window, "txtName")),
                             static_cast<QWidget*>(control<QPlainTextEdit>(m_window, "txtAttendees")),
                             static_cast<QWidget*>(control<QListWidget>(m_window, "lstEvent"))})
            QVERIFY(qAbs(box->height() - twipsToPixels(2560, m_window.get())) <= 1);
        QVERIFY(qAbs(control<QPlainTextEdit>(m_window, "txtName")->width() - twipsToPixels(2330, m_window.get())) <= 1);
        QVERIFY(qAbs(control<QPlainTextEdit>(m_window, "txtAttendees")->x() - twipsToPixels(4970, m_window.get())) <=
                1);
        QVERIFY(m_window->isEnabled());
    }

    void resize_larger_growsMiddleAndKeepsListAndSignUpWidths()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const int listWidth = control<QListWidget>(m_window, "lstEvent")->width();
        const int attendeesWidth = control<QPlainTextEdit>(m_window, "txtAttendees")->width();
        m_window->resize(1200, 800);
        const QSize outer = m_window->frameGeometry().size();
        QVERIFY(qAbs(control<QPlainTextEdit>(m_window, "txtName")->height() -
                     (outer.height() - twipsToPixels(1440, m_window.get()))) <= 1);
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->height(),
                 control<QPlainTextEdit>(m_window, "txtName")->height());
        QVERIFY(qAbs(control<QPlainTextEdit>(m_window, "txtName")->width() -
                     (outer.width() - twipsToPixels(5670, m_window.get()))) <= 1);
        QVERIFY(qAbs(control<QPlainTextEdit>(m_window, "txtAttendees")->x() -
                     (outer.width() - twipsToPixels(3030, m_window.get()))) <= 1);
        QCOMPARE(control<QListWidget>(m_window, "lstEvent")->width(), listWidth);
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtAttendees")->width(), attendeesWidth);
    }

    void resize_whileMinimised_changesNothing()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QRect before = control<QPlainTextEdit>(m_window, "txtName")->geometry();
        m_window->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(m_window->isMinimized());
        m_window->resize(300, 200);
        QCOMPARE(control<QPlainTextEdit>(m_window, "txtName")->geometry(), before);
    }

    void displayBoxes_neverKeepFocus()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        control<QPlainTextEdit>(m_window, "txtName")->setFocus();
        QTRY_VERIFY(control<QListWidget>(m_window, "lstEvent")->hasFocus());
        control<QPlainTextEdit>(m_window, "txtAttendees")->setFocus();
        QTRY_VERIFY(control<QListWidget>(m_window, "lstEvent")->hasFocus());
        QTest::mouseClick(control<QPlainTextEdit>(m_window, "txtName")->viewport(), Qt::LeftButton);
        QVERIFY(control<QListWidget>(m_window, "lstEvent")->hasFocus());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
