#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmAbout.h"
#include "admin/frmFirstTime.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "settings/SettingsKeys.h"
#include "support/Controls.h"
#include "support/OpenEvent.h"
#include "support/TestContext.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;

// Start-up, the welcome screen and the about box.
class TestStartup : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<Windows> m_windows;

    QString stored(const QString& key) const
    {
        return m_test->store.read(SettingsKeys::kOptions, key, QStringLiteral("(absent)"));
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

    // --- start-up
    void startUp_noStoredSettings_showsWelcomeTicked()
    {
        m_windows->startUp();
        frmFirstTime& welcome = m_windows->welcome();
        QVERIFY(welcome.isVisible());
        QVERIFY(control<QCheckBox>(welcome, "chkShow")->isChecked());
        QVERIFY(!m_windows->main().isVisible());
        QCOMPARE(welcome.windowTitle(), QStringLiteral("Welcome to Enrolix"));
        QCOMPARE(control<QLabel>(welcome, "firsttime")->text(),
                 QStringLiteral("Before creating your first event you may want to change the default settings.  Select "
                                "Options from the Tool menu to change the directory where Enrolix will save the "
                                "registration pages, contact name, etc."));
        // The settings are loaded and the attendant is loaded hidden and idle.
        QCOMPARE(m_test->settings.Seconds_Wait_Between_Email_Processing, qint16(600));
        QVERIFY(!m_windows->attendant().isVisible());
        QVERIFY(!m_windows->attendant().countdown().timerEnabled());
        QCOMPARE(m_windows->attendant().countdown().iTimerSeconds(), qint16(600));
    }

    void startUp_firstRunFalse_showsMainAtOnce()
    {
        m_test->store.set(SettingsKeys::kFirstRun, QStringLiteral("False"));
        Testing::OpenEvent::create(m_test->folders, QStringLiteral("E00001"));
        m_windows->startUp();
        QVERIFY(!m_windows->welcome().isVisible());
        QVERIFY(!control<QCheckBox>(m_windows->welcome(), "chkShow")->isChecked());
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(control<QListWidget>(m_windows->main(), "lstEvent")->count(), 1);
    }

    void continue_ticked_storesTrue_unticked_storesFalse()
    {
        m_windows->startUp();
        frmFirstTime& welcome = m_windows->welcome();
        m_test->prompter.expect(AdminMessages::willSeeScreenNextTime(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(welcome, "cmdContinue")->click();
        QCOMPARE(stored(SettingsKeys::kFirstRun), QStringLiteral("True"));
        QVERIFY(m_test->settings.FirstRun);
        QVERIFY(!welcome.isVisible());
        QVERIFY(m_windows->main().isVisible());

        // Tools, Startup Screen: shown again with the box as it was left.
        control<QAction>(m_windows->main(), "mnuStartup")->trigger();
        QVERIFY(welcome.isVisible());
        QVERIFY(!m_windows->main().isVisible());
        control<QCheckBox>(welcome, "chkShow")->setChecked(false);
        m_test->prompter.expect(AdminMessages::canReEnableScreen(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(welcome, "cmdContinue")->click();
        QCOMPARE(stored(SettingsKeys::kFirstRun), QStringLiteral("False"));
        QVERIFY(!m_test->settings.FirstRun);

        control<QAction>(m_windows->main(), "mnuStartup")->trigger();
        QVERIFY(!control<QCheckBox>(welcome, "chkShow")->isChecked());
        m_test->prompter.expect(AdminMessages::canReEnableScreen(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(welcome, "cmdContinue")->click();
        QCOMPARE(stored(SettingsKeys::kFirstRun), QStringLiteral("False"));
    }

    void continue_partlyChecked_countsAsTicked()
    {
        m_windows->startUp();
        control<QCheckBox>(m_windows->welcome(), "chkShow")->setTristate(true);
        control<QCheckBox>(m_windows->welcome(), "chkShow")->setCheckState(Qt::PartiallyChecked);
        m_test->prompter.expect(AdminMessages::willSeeScreenNextTime(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(m_windows->welcome(), "cmdContinue")->click();
        QCOMPARE(stored(SettingsKeys::kFirstRun), QStringLiteral("True"));
    }

    void welcome_closedByTheWindowSystem_showsMain()
    {
        m_windows->startUp();
        m_windows->welcome().close();
        QVERIFY(m_windows->main().isVisible());
        QCOMPARE(stored(SettingsKeys::kFirstRun), QStringLiteral("(absent)"));
    }

    // --- the about box
    void about_textsAndOneAtATime()
    {
        m_windows->startUp();
        control<QAction>(m_windows->main(), "mnuAbout")->trigger();
        frmAbout& about = m_windows->about();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillmark"));
        QCOMPARE(control<QLabel>(about, "lblTitle")->text(), QStringLiteral("Quillmark"));
        QCOMPARE(control<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version " ENROLIX_VERSION));
        QCOMPARE(control<QLabel>(about, "lblDescription")->text(), QStringLiteral("App Description"));
        QCOMPARE(control<QLabel>(about, "lblDisclaimer")->text(), QStringLiteral("Warning: ..."));
        QCOMPARE(control<QPushButton>(about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        QVERIFY(control<QPushButton>(about, "cmdOK")->isDefault());
        control<QAction>(m_windows->main(), "mnuAbout")->trigger();
        QCOMPARE(m_windows->main().findChildren<frmAbout*>().size(), 1);
        QPointer<frmAbout> box(&about);
        control<QPushButton>(about, "cmdOK")->click();
        QTRY_VERIFY(box.isNull());
    }

    void about_escapeDestroysIt()
    {
        QPointer<frmAbout> box(&m_windows->about());
        QTest::keyClick(box.data(), Qt::Key_Escape);
        QTRY_VERIFY(box.isNull());
    }

    void sysInfo_noTool_saysUnavailable_toolOnPath_startsIt()
    {
        frmAbout& about = m_windows->about();
        m_test->prompter.expect(AdminMessages::systemInfoUnavailable(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(about, "cmdSysInfo")->click();
        QVERIFY(m_test->system.started.isEmpty());

        m_test->system.toolOnPath = QStringLiteral("/usr/bin/hardinfo");
        control<QPushButton>(about, "cmdSysInfo")->click();
        QCOMPARE(m_test->system.started, QStringList{QStringLiteral("/usr/bin/hardinfo")});

        m_test->system.startSucceeds = false;
        m_test->prompter.expect(AdminMessages::systemInfoUnavailable(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(about, "cmdSysInfo")->click();
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
