// The desktop keyring, for real: run by tests/keyring/with_keyring.sh in a session bus of its
// own, with GNOME Keyring unlocked there, or (ENROLIX_KEYRING_ABSENT) with no Secret Service on
// the bus at all. Save in the account dialog, a pass of the desktop's engine and enrolix-attendant
// all meet the same keyring.
#include "ProfileMailSessionFactory.h"
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmAccount.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "mail/MailTexts.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "platform/SecretServiceKeyring.h"
#include "settings/SettingsKeys.h"
#include "support/Controls.h"
#include "support/MailSamples.h"
#include "support/ServerBackend.h"
#include "support/TestContext.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;

} // namespace

class TestKeyring : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<IniSettingsStore> m_file;
    std::unique_ptr<SecretServiceKeyring> m_keyring;
    std::unique_ptr<ProfileMailSessionFactory> m_mail;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<Windows> m_windows;

    QString fileText() const
    {
        QFile file(IniSettingsStore::defaultFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // What a coordinator does on a fresh installation: Tools > Mail Account..., "Other IMAP/SMTP
    // server", the fixture's servers (plain, as they are on this machine), user and password,
    // Test Account, Save.
    void setUpTheAccount(const ServerBackend& backend)
    {
        m_windows->showMain();
        control<QAction>(m_windows->main(), "mnuAccount")->trigger();
        frmAccount& dialog = m_windows->account();
        auto* provider = control<QComboBox>(dialog, "cboProvider");
        provider->setCurrentIndex(3);
        Q_EMIT provider->activated(3);
        const QList<QPair<const char*, QString>> typed{{"txtAddress", backend.from()},
                                                       {"txtIncomingServer", QStringLiteral("127.0.0.1")},
                                                       {"txtOutgoingServer", QStringLiteral("127.0.0.1")},
                                                       {"txtUser", backend.user()},
                                                       {"txtPassword", QStringLiteral("secret")}};
        for (const auto& [name, text] : typed)
            control<QLineEdit>(dialog, name)->setText(text);
        control<QSpinBox>(dialog, "spnIncomingPort")
            ->setValue(backend.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt());
        control<QSpinBox>(dialog, "spnOutgoingPort")
            ->setValue(backend.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt());
        control<QComboBox>(dialog, "cboIncomingSecurity")->setCurrentIndex(2);
        control<QComboBox>(dialog, "cboOutgoingSecurity")->setCurrentIndex(2);
        QSignalSpy tested(&dialog, &frmAccount::testFinished);
        control<QPushButton>(dialog, "cmdTest")->click();
        QVERIFY(tested.wait(30000));
        auto* results = control<QListWidget>(dialog, "lstResults");
        QCOMPARE(results->count(), 5);
        for (int row = 0; row < results->count(); ++row)
            QVERIFY2(results->item(row)->text().contains(QStringLiteral(": OK")),
                     qPrintable(results->item(row)->text()));
        control<QPushButton>(dialog, "cmdSave")->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_windows->main().isVisible());
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        m_file = std::make_unique<IniSettingsStore>();
        m_keyring = std::make_unique<SecretServiceKeyring>(SettingsKeys::kKeyringService);
        m_mail = std::make_unique<ProfileMailSessionFactory>(*m_file, TransportLimits{}, nullptr, m_keyring.get());
        TestContext& t = *m_test;
        m_context =
            std::make_unique<AppContext>(AppContext{*m_file, t.settings, t.prompter, t.clipboard, t.help, t.system,
                                                    *m_mail, t.files, *m_keyring, t.browser, *m_mail});
        m_windows = std::make_unique<Windows>(*m_context);
        m_file->write(SettingsKeys::kOptions, QStringLiteral("Working_Files_Directory"), t.folders.work());
    }
    void cleanup()
    {
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_windows.reset();
        m_context.reset();
        m_mail.reset();
        m_keyring.reset();
        m_file.reset();
        m_test.reset();
    }

#ifndef ENROLIX_KEYRING_ABSENT
    void save_passwordGoesIntoTheKeyring_andBothProgramsSignOnWithIt()
    {
        ServerBackend backend(m_test->folders.root());
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        QVERIFY(m_keyring->available());
        setUpTheAccount(backend);

        QCOMPARE(m_keyring->read(backend.user()), QStringLiteral("secret"));
        QVERIFY2(!fileText().contains(QStringLiteral("password")), qPrintable(fileText()));
        QVERIFY(fileText().contains(QStringLiteral("secret=keyring")));

        // Processing > Start Auto Processing answers a request: its pass reads the keyring from
        // the engine's thread.
        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.sc"), {});
        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
        const auto request = [&](const QString& name) {
            backend.deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                        name, name.toLower() + QStringLiteral("@example.org")));
        };
        request(QStringLiteral("Ann"));
        control<QAction>(m_windows->main(), "mnuBegin")->trigger();
        frmAutoAttend& attendant = m_windows->attendant();
        control<QPushButton>(attendant, "cmdProcess")->click();
        attendant.countdown().tick();
        QTRY_COMPARE_WITH_TIMEOUT(control<QLineEdit>(attendant, "Text1")->text(), QStringLiteral("1"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_windows->passRunning(), 30000);
        QCOMPARE(backend.replies().size(), 1);

        // And so does enrolix-attendant, through the same session bus.
        request(QStringLiteral("Bob"));
        QProcess headless;
        headless.start(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        QVERIFY(headless.waitForFinished(60000));
        const QString log = QString::fromUtf8(headless.readAllStandardError());
        QCOMPARE(headless.exitCode(), 0);
        QVERIFY2(log.contains(QStringLiteral("pass: 1 replies sent")), qPrintable(log));
        QCOMPARE(backend.replies().size(), 2);
    }

    void signOn_noEntryForTheUser_failsWithTheReason()
    {
        m_file->write(kProfile, SettingsKeys::kMailInbox, QStringLiteral("imaps://127.0.0.1:1/INBOX"));
        m_file->write(kProfile, SettingsKeys::kMailUser, QStringLiteral("nobody-here"));
        m_file->write(kProfile, SettingsKeys::kMailSecret, QStringLiteral("keyring"));
        const SignOn signOn = m_mail->signOn(kProfile);
        QVERIFY(!signOn.session);
        QCOMPARE(signOn.failure, QStringLiteral("the keyring is locked or holds no password for nobody-here"));
    }
#else
    void save_noSecretService_keepsThePasswordInAnOwnerOnlyFile()
    {
        ServerBackend backend(m_test->folders.root());
        QVERIFY(!m_keyring->available());
        backend.configure(*m_file, kProfile);
        m_file->remove(kProfile, SettingsKeys::kMailPassword);
        m_windows->showMain();
        control<QAction>(m_windows->main(), "mnuAccount")->trigger();
        control<QLineEdit>(m_windows->account(), "txtPassword")->setText(QStringLiteral("secret"));
        m_test->prompter.expect(AdminMessages::noKeyring(), DefaultButton{Button::Ok});
        control<QPushButton>(m_windows->account(), "cmdSave")->click();
        QVERIFY(!m_windows->account().isVisible());
        QVERIFY(fileText().contains(QStringLiteral("password=secret")));
        QVERIFY(!fileText().contains(QStringLiteral("secret=keyring")));
        QCOMPARE(QFile::permissions(IniSettingsStore::defaultFilePath()),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    }

    void signOn_keyringNamedButAbsent_failsWithTheReason()
    {
        m_file->write(kProfile, SettingsKeys::kMailInbox, QStringLiteral("imaps://127.0.0.1:1/INBOX"));
        m_file->write(kProfile, SettingsKeys::kMailUser, QStringLiteral("ann"));
        m_file->write(kProfile, SettingsKeys::kMailSecret, QStringLiteral("keyring"));
        QElapsedTimer timer;
        timer.start();
        const SignOn signOn = m_mail->signOn(kProfile);
        QCOMPARE(signOn.failure, MailTexts::keyringHoldsNoSecret(QStringLiteral("ann")));
        QVERIFY(timer.elapsed() < 10000);
    }
#endif
};

QTEST_MAIN(TestKeyring)
#include "test_keyring.moc"
