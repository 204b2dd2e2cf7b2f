#include "admin/Windows.h"
#include "admin/frmCreate.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"
#include "events/EventMessages.h"
#include "gui/AppContext.h"
#include "platform/TextFiles.h"
#include "support/Controls.h"
#include "support/SmallDisk.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;

class TestFrmCreate : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<Windows> m_windows;

    QByteArray work(const QString& name) const { return m_test->folders.read(m_test->folders.work() + name); }

    // The main window shown, then New Event chosen from its File menu.
    frmCreate& openCreate()
    {
        m_windows->showMain();
        control<QAction>(m_windows->main(), "mnuNew")->trigger();
        return m_windows->create();
    }
    template <typename T> T* control(QWidget& window, const char* name)
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    void type(QWidget& window, const char* box, const QString& text)
    {
        QTest::keyClicks(control<QPlainTextEdit>(window, box), text);
    }
    void click(QWidget& window, const char* button)
    {
        QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<Testing::TestContext>();
        m_windows = std::make_unique<Windows>(m_test->context);
    }
    void cleanup()
    {
        m_windows.reset();
        ENROLIX_VERIFY_BOXES(m_test->prompter);
    }

    // --- the windows themselves
    void windows_haveCaptionsControlsAndNames()
    {
        frmCreate& create = m_windows->create();
        QCOMPARE(create.windowTitle(), QStringLiteral("Create New Event"));
        const QList<QPair<const char*, QString>> labels{
            {"lblNewEventTitle", "Create New Event"},
            {"lblCreateEvent", "To create a new event, enter the event name and dates in the fields below.  A "
                               "registration page will be automatically created and saved in the default directory."},
            {"lblEventInfo", "1) Type your event info."},
            {"lblEventDates", "2) Enter the event date(s)."},
            {"Label1", "3) Create the event."},
            {"lblEventNote", "Note: Courses that have more than one date must be created as seperate events. The "
                             "System will not stop you from creating duplicate events!."}};
        for (const auto& [name, caption] : labels) {
            QLabel* label = control<QLabel>(create, name);
            QVERIFY2(label, name);
            QCOMPARE(label->text(), caption);
        }
        QVERIFY(control<QLabel>(create, "lblNewEventTitle")->font().bold());
        QCOMPARE(control<QPushButton>(create, "cmdCreate")->text(), QStringLiteral("Click to Create New Event"));
        QCOMPARE(control<QPushButton>(create, "cmdReturn")->text(), QStringLiteral("Back to Admin Panel"));
        QCOMPARE(control<QLabel>(create, "lblEventInfo")->buddy(), control<QPlainTextEdit>(create, "txtTextBox1"));
        QCOMPARE(control<QLabel>(create, "lblEventDates")->buddy(), control<QPlainTextEdit>(create, "txtTextBox2"));
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox2")->toPlainText(), QString());

        frmLocation& location = m_windows->location();
        QCOMPARE(location.windowTitle(), QStringLiteral("New Course"));
        QCOMPARE(control<QLabel>(location, "lblLabel1")->text(),
                 QStringLiteral("The new registration course address is:"));
        QCOMPARE(control<QPushButton>(location, "cmdCopytoClip")->text(), QStringLiteral("Copy Address to ClipBoard"));
        QCOMPARE(control<QPushButton>(location, "cmdBack2Create")->text(), QStringLiteral("Back to Create Panel"));
    }

    void boxes_discardVerticalBar_tabMovesFocus()
    {
        frmCreate& create = openCreate();
        QVERIFY(QTest::qWaitForWindowExposed(&create));
        type(create, "txtTextBox1", QStringLiteral("a|b||c"));
        type(create, "txtTextBox2", QStringLiteral("|May 4|"));
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox1")->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox2")->toPlainText(), QStringLiteral("May 4"));

        create.activateWindow();
        control<QPlainTextEdit>(create, "txtTextBox1")->setFocus();
        QTRY_VERIFY(control<QPlainTextEdit>(create, "txtTextBox1")->hasFocus());
        QTest::keyClick(control<QPlainTextEdit>(create, "txtTextBox1"), Qt::Key_Tab);
        QVERIFY(control<QPlainTextEdit>(create, "txtTextBox2")->hasFocus());
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox1")->toPlainText(), QStringLiteral("abc"));
    }

    // --- creating through the button
    void create_endToEnd_writesFilesShowsAndCopiesAddress()
    {
        m_test->folders.write(m_test->settings.Counter_File_Path, "7\r\n");
        frmCreate& create = openCreate();
        QVERIFY(!m_windows->main().isVisible());
        QVERIFY(create.isVisible());
        type(create, "txtTextBox1", QStringLiteral("Fire safety"));
        QTest::keyClick(control<QPlainTextEdit>(create, "txtTextBox1"), Qt::Key_Return);
        type(create, "txtTextBox1", QStringLiteral("Room 12"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        click(create, "cmdCreate");

        QCOMPARE(work(QStringLiteral("E00007.sc")), QByteArray());
        QCOMPARE(work(QStringLiteral("E00007.scn")), QByteArray("Fire safety\r\nRoom 12\r\nMay 4\r\n"));
        QVERIFY(m_test->folders.read(m_test->folders.pages() + QStringLiteral("E00007.html"))
                    .contains("    <td width=\"84%\">Fire safety</br>\nRoom 12</td>\r\n"));
        QCOMPARE(work(QStringLiteral("Auto_Counter.txt")), QByteArray("8\r\n"));

        frmLocation& location = m_windows->location();
        QVERIFY(!create.isVisible());
        QVERIFY(location.isVisible());
        QVERIFY(!m_windows->main().isVisible());
        const QString address = QStringLiteral("https://example.org/courses/E00007.html");
        QCOMPARE(control<QLabel>(location, "lbladdress")->text(), address);

        click(location, "cmdCopytoClip");
        QCOMPARE(m_test->clipboard.clears, 1);
        QCOMPARE(m_test->clipboard.text, address);
        QCOMPARE(m_test->clipboard.beeps, 1);
    }

    void backToCreate_emptiesDates_keepsInformation_nextEventFollows()
    {
        m_test->folders.write(m_test->settings.Counter_File_Path, "1\r\n");
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", QStringLiteral("Safety"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        click(create, "cmdCreate");
        frmLocation& location = m_windows->location();
        QVERIFY(location.isVisible());

        click(location, "cmdBack2Create");
        QVERIFY(!location.isVisible());
        QVERIFY(create.isVisible());
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox1")->toPlainText(), QStringLiteral("Safety"));
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox2")->toPlainText(), QString());

        type(create, "txtTextBox2", QStringLiteral("May 5"));
        click(create, "cmdCreate");
        QCOMPARE(control<QLabel>(location, "lbladdress")->text(),
                 QStringLiteral("https://example.org/courses/E00002.html"));
        QCOMPARE(work(QStringLiteral("E00002.scn")), QByteArray("Safety\r\nMay 5\r\n"));
        QCOMPARE(work(QStringLiteral("E00001.scn")), QByteArray("Safety\r\nMay 4\r\n"));
    }

    void create_emptyBox_asksForBoth_changesNothing_data()
    {
        QTest::addColumn<QString>("information");
        QTest::addColumn<QString>("dates");
        QTest::newRow("both empty") << QString() << QString();
        QTest::newRow("dates empty") << "Safety" << QString();
        QTest::newRow("information empty") << QString() << "May 4";
    }
    void create_emptyBox_asksForBoth_changesNothing()
    {
        QFETCH(QString, information);
        QFETCH(QString, dates);
        m_test->folders.write(m_test->settings.Counter_File_Path, "7\r\n");
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", information);
        type(create, "txtTextBox2", dates);
        m_test->prompter.expect(EventMessages::provideNameAndDate(), Testing::DefaultButton{Button::Ok});
        click(create, "cmdCreate");
        QCOMPARE(work(QStringLiteral("Auto_Counter.txt")), QByteArray("7\r\n"));
        QCOMPARE(QDir(m_test->folders.work()).entryList(QDir::Files), QStringList{QStringLiteral("Auto_Counter.txt")});
        QVERIFY(create.isVisible());
    }

    void create_blankTexts_countAsFilled()
    {
        m_test->folders.write(m_test->settings.Counter_File_Path, "7\r\n");
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", QStringLiteral(" "));
        QTest::keyClick(control<QPlainTextEdit>(create, "txtTextBox2"), Qt::Key_Return);
        click(create, "cmdCreate");
        QCOMPARE(work(QStringLiteral("E00007.scn")), QByteArray(" \r\n\r\n\r\n"));
    }

    void create_missingCounter_reportsFailure_staysOpen_writesNothing()
    {
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", QStringLiteral("Safety"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        FileResult missing;
        QVERIFY(!TextFiles::readAll(m_test->settings.Counter_File_Path, &missing));
        m_test->prompter.expect(EventMessages::createFailed(missing), Testing::DefaultButton{Button::Ok});
        click(create, "cmdCreate");
        QVERIFY(create.isVisible());
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox1")->toPlainText(), QStringLiteral("Safety"));
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox2")->toPlainText(), QStringLiteral("May 4"));
        QVERIFY(!m_windows->location().isVisible());
        QCOMPARE(QDir(m_test->folders.work()).entryList(QDir::Files), QStringList{});
        QCOMPARE(QDir(m_test->folders.pages()).entryList(QDir::Files), QStringList{});
        QVERIFY(m_test->prompter.shown().first().title.startsWith(
            QStringLiteral("Error") + QString::number(missing.code) + QStringLiteral(": ")));
    }

    // The coordinator gets the file failure with its causes; the number is used up, but no
    // half-made event appears in the main window.
    void create_pageFolderUnusable_reportsAndListsNothing_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("page folder gone") << false;
        QTest::newRow("page folder full") << true;
    }
    void create_pageFolderUnusable_reportsAndListsNothing()
    {
        QFETCH(bool, full);
        m_test->folders.write(m_test->settings.Counter_File_Path, "7\r\n");
        std::unique_ptr<Testing::SmallDisk> disk;
        if (full) {
            disk = std::make_unique<Testing::SmallDisk>(m_test->folders.pages(), 16);
            ENROLIX_REQUIRE_DISK(*disk);
            disk->fill();
        } else {
            m_test->settings.HTML_File_Path = m_test->folders.root() + QStringLiteral("unplugged/");
        }
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", QStringLiteral("Safety"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        const FileResult failure =
            TextFiles::StagedFile(m_test->settings.HTML_File_Path + QStringLiteral("probe.html"), QStringLiteral("x"))
                .result();
        QVERIFY(!failure.ok());
        m_test->prompter.expect(EventMessages::createFailed(failure), Testing::DefaultButton{Button::Ok});
        click(create, "cmdCreate");
        QVERIFY(create.isVisible());
        QCOMPARE(work(QStringLiteral("Auto_Counter.txt")), QByteArray("8\r\n"));
        QCOMPARE(QDir(m_test->folders.work()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Auto_Counter.txt")});

        click(create, "cmdReturn");
        frmMain& main = m_windows->main();
        QVERIFY(main.isVisible());
        QCOMPARE(control<QListWidget>(main, "lstEvent")->count(), 0);
    }

    // --- navigation
    void backToAdmin_showsMainWithNewEvent_keepsTexts()
    {
        m_test->folders.write(m_test->settings.Counter_File_Path, "3\r\n");
        frmCreate& create = openCreate();
        type(create, "txtTextBox1", QStringLiteral("Safety"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        click(create, "cmdCreate");
        click(m_windows->location(), "cmdBack2Create");
        click(create, "cmdReturn");

        frmMain& main = m_windows->main();
        QVERIFY(!create.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(control<QListWidget>(main, "lstEvent")->count(), 1);
        QCOMPARE(control<QListWidget>(main, "lstEvent")->item(0)->text(), QStringLiteral("E00003"));

        control<QAction>(main, "mnuNew")->trigger();
        QVERIFY(!main.isVisible());
        QCOMPARE(&m_windows->create(), &create);
        QCOMPARE(control<QPlainTextEdit>(create, "txtTextBox1")->toPlainText(), QStringLiteral("Safety"));
    }

    void frameClose_eitherDialog_showsMainAgain()
    {
        m_test->folders.write(m_test->settings.Counter_File_Path, "1\r\n");
        frmCreate& create = openCreate();
        QVERIFY(create.close());
        QVERIFY(m_windows->main().isVisible());

        control<QAction>(m_windows->main(), "mnuNew")->trigger();
        type(create, "txtTextBox1", QStringLiteral("Safety"));
        type(create, "txtTextBox2", QStringLiteral("May 4"));
        click(create, "cmdCreate");
        QVERIFY(!m_windows->main().isVisible());
        QVERIFY(m_windows->location().close());
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(control<QListWidget>(m_windows->main(), "lstEvent")->count(), 1);
    }
};

QTEST_MAIN(TestFrmCreate)
#include "test_frmcreate.moc"
