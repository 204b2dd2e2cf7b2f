#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "admin/frmSure.h"
#include "events/EventMessages.h"
#include "gui/AppContext.h"
#include "support/Controls.h"
#include "support/FakeBrowser.h"
#include "support/FakeClipboard.h"
#include "support/MemoryKeyring.h"
#include "support/MemorySettingsStore.h"
#include "support/OpenEvent.h"
#include "support/ScriptedPrompter.h"
#include "support/TestContext.h"
#include "support/TestFolders.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;

class TestFrmSure : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestFolders> m_folders;
    Testing::MemorySettingsStore m_store;
    Settings m_settings;
    Testing::ScriptedPrompter m_prompter;
    Testing::FakeClipboard m_clipboard;
    Testing::FakeHelpViewer m_help;
    Testing::FakeSystemInfo m_system;
    Testing::MemoryKeyring m_keyring;
    ProfileMailSessionFactory m_mail{m_store, {}, nullptr, &m_keyring};
    Testing::FakeBrowser m_browser;
    Testing::FakeFileChooser m_files;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<Windows> m_windows;

    // The event the tests close.
    Testing::OpenEvent safety() const { return {*m_folders, QStringLiteral("E00003")}; }
    QString page(const char* name) const { return m_folders->pages() + QString::fromLatin1(name); }
    QStringList listed() const
    {
        QStringList events;
        for (int i = 0; i < control<QListWidget>(m_windows->main(), "lstEvent")->count(); ++i)
            events << control<QListWidget>(m_windows->main(), "lstEvent")->item(i)->text();
        return events;
    }
    void select(const QString& event)
    {
        const QList<QListWidgetItem*> items =
            control<QListWidget>(m_windows->main(), "lstEvent")->findItems(event, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        control<QListWidget>(m_windows->main(), "lstEvent")->setCurrentItem(items.first());
    }
    // Selects the event and chooses "&Close Event"; the close dialog must come up instead of the main window.
    void openCloseDialog(const QString& event)
    {
        select(event);
        control<QAction>(m_windows->main(), "mnuClose")->trigger();
        QVERIFY(!m_windows->main().isVisible());
        QVERIFY(m_windows->sure().isVisible());
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<Testing::TestFolders>();
        m_settings = m_folders->settings();
        m_prompter.reset();
        m_context = std::make_unique<AppContext>(AppContext{m_store, m_settings, m_prompter, m_clipboard, m_help,
                                                            m_system, m_mail, m_files, m_keyring, m_browser, m_mail});
        m_windows = std::make_unique<Windows>(*m_context);
        Testing::OpenEvent::create(*m_folders, QStringLiteral("E00002"), "", "Other\r\n");
        Testing::OpenEvent::create(*m_folders, QStringLiteral("E00003"), "Ann Archer\r\nBob Baker\r\n",
                                   "Safety\r\nMay 4\r\n");
        m_folders->write(page("E00003.html"), "<html>open</html>\r\n");
        m_windows->showMain();
    }
    void cleanup()
    {
        m_windows.reset();
        ENROLIX_VERIFY_BOXES(m_prompter);
    }

    // --- the dialog
    void dialog_captionsFontsAndQuestion()
    {
        openCloseDialog(QStringLiteral("E00003"));
        frmSure& dialog = m_windows->sure();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Close Course"));
        QCOMPARE(control<QLabel>(dialog, "lblCancelYN")->text(),
                 QStringLiteral("Cancel registration for event E00003 ?"));
        QCOMPARE(control<QLabel>(dialog, "lblCancel")->text(),
                 QStringLiteral("Note: Obtain attendees before closing this course."));
        QCOMPARE(control<QLabel>(dialog, "lblConfirm")->text(), QStringLiteral("This action cannot be undone."));
        for (QLabel* label : {control<QLabel>(dialog, "lblCancelYN"), control<QLabel>(dialog, "lblCancel"),
                              control<QLabel>(dialog, "lblConfirm")})
            QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));
        QVERIFY(control<QLabel>(dialog, "lblCancelYN")->font().bold());
        QVERIFY(!control<QLabel>(dialog, "lblCancel")->font().bold());
        QVERIFY(control<QLabel>(dialog, "lblConfirm")->font().bold());
        QCOMPARE(control<QLabel>(dialog, "lblConfirm")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(control<QPushButton>(dialog, "cmdYes")->text(), QStringLiteral("Yes"));
        QCOMPARE(control<QPushButton>(dialog, "cmdNo")->text(), QStringLiteral("No"));
        QVERIFY(control<QPushButton>(dialog, "cmdYes")->x() < control<QPushButton>(dialog, "cmdNo")->x());
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("lblCancelYN")));
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cmdYes")));
    }

    void dialog_asksAboutTheEventSelectedEachTime()
    {
        m_prompter.expect(AdminMessages::courseRemainsOpen(), Testing::DefaultButton{Button::Ok});
        openCloseDialog(QStringLiteral("E00003"));
        control<QPushButton>(m_windows->sure(), "cmdNo")->click();
        openCloseDialog(QStringLiteral("E00002"));
        QCOMPARE(control<QLabel>(m_windows->sure(), "lblCancelYN")->text(),
                 QStringLiteral("Cancel registration for event E00002 ?"));
    }

    void closeCommand_nothingSelected_saysSo_andStays()
    {
        const Message message = AdminMessages::selectEvent();
        QCOMPARE(message, plainMessage(QStringLiteral("Please select event.")));
        m_prompter.expect(message, Testing::DefaultButton{Button::Ok});
        control<QAction>(m_windows->main(), "mnuClose")->trigger();
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(m_prompter.shown().size(), 1);
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(window->objectName() != QStringLiteral("frmSure"));
    }

    // --- the answers
    void yes_closesEvent_backToRefreshedMain()
    {
        openCloseDialog(QStringLiteral("E00003"));
        control<QPushButton>(m_windows->sure(), "cmdYes")->click();
        QVERIFY(!m_windows->sure().isVisible());
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(listed(), QStringList{QStringLiteral("E00002")});
        QCOMPARE(m_folders->read(safety().listPath() + QStringLiteral(".cl")),
                 QByteArray("Ann Archer\r\nBob Baker\r\n"));
        QCOMPARE(m_folders->read(safety().descriptionPath() + QStringLiteral(".cl")),
                 QByteArray("Safety\r\nMay 4\r\n"));
        QVERIFY(!QFile::exists(safety().listPath()));
        const QByteArray closedPage = m_folders->read(page("E00003.html"));
        QVERIFY(closedPage.contains("<td width=\"84%\">Safety</br>\nMay 4</br>\n</td>\r\n"));
        QVERIFY(closedPage.endsWith("<p>This event is now closed for registration.</p></p>\r\n \r\n"));
    }

    void no_changesNothing_saysOnce_backToMain()
    {
        m_prompter.expect(plainMessage(QStringLiteral("Course will remain open for registration.")),
                          Testing::DefaultButton{Button::Ok});
        openCloseDialog(QStringLiteral("E00003"));
        control<QPushButton>(m_windows->sure(), "cmdNo")->click();
        QCOMPARE(m_prompter.shown().size(), 1);
        QVERIFY(!m_windows->sure().isVisible());
        QVERIFY(m_windows->main().isVisible());
        QVERIFY(m_windows->main().isEnabled());
        QCOMPARE(listed(), (QStringList{"E00002", "E00003"}));
        QCOMPARE(safety().list(), QByteArray("Ann Archer\r\nBob Baker\r\n"));
        QCOMPARE(m_folders->read(safety().descriptionPath()), QByteArray("Safety\r\nMay 4\r\n"));
        QCOMPARE(m_folders->read(page("E00003.html")), QByteArray("<html>open</html>\r\n"));
        QVERIFY(!QFile::exists(safety().listPath() + QStringLiteral(".cl")));
    }

    void yes_closedNameTaken_reported_eventStaysOpen()
    {
        m_folders->write(safety().descriptionPath() + QStringLiteral(".cl"), "an older event\r\n");
        m_prompter.expect(
            EventMessages::closeNameTaken(QStringLiteral("E00003"), safety().descriptionPath() + QStringLiteral(".cl")),
            Testing::DefaultButton{Button::Ok});
        openCloseDialog(QStringLiteral("E00003"));
        control<QPushButton>(m_windows->sure(), "cmdYes")->click();
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(listed(), (QStringList{"E00002", "E00003"}));
        QCOMPARE(m_folders->read(page("E00003.html")), QByteArray("<html>open</html>\r\n"));
        QCOMPARE(m_folders->read(safety().descriptionPath() + QStringLiteral(".cl")), QByteArray("an older event\r\n"));
    }

    void yes_pageNotWritable_reportedAndEventStaysOpen()
    {
        QVERIFY(QFile::remove(page("E00003.html")));
        QVERIFY(QDir().mkpath(page("E00003.html")));
        openCloseDialog(QStringLiteral("E00003"));
        control<QPushButton>(m_windows->sure(), "cmdYes")->click();
        QCOMPARE(m_prompter.shown().size(), 1);
        QVERIFY(m_prompter.shown().first().text.startsWith(
            QStringLiteral("Event E00003 was not closed.\rThe closed page ") + page("E00003.html")));
        m_prompter.reset();
        QCOMPARE(listed(), (QStringList{"E00002", "E00003"}));
        QVERIFY(QFile::exists(safety().listPath()));
    }

    // --- the frame
    void closedThroughFrame_mainComesBack_dialogRecreated()
    {
        openCloseDialog(QStringLiteral("E00003"));
        QPointer<frmSure> first(&m_windows->sure());
        QVERIFY(first->close());
        QVERIFY(m_windows->main().isVisible());
        QTRY_VERIFY(first.isNull());
        QCOMPARE(listed(), (QStringList{"E00002", "E00003"}));
        openCloseDialog(QStringLiteral("E00002"));
        QCOMPARE(control<QLabel>(m_windows->sure(), "lblCancelYN")->text(),
                 QStringLiteral("Cancel registration for event E00002 ?"));
    }
};

QTEST_MAIN(TestFrmSure)
#include "test_frmsure.moc"
