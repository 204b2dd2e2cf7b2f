// The desktop keyring, for real: run by tests/keyring/with_keyring.sh in a session bus of its
// own, with GNOME Keyring unlocked there, or (ENROLIX_KEYRING_ABSENT) with no Secret Service on
// the bus at all. Save in the account dialog, a pass of the desktop's engine and enrolix-attendant
// all meet the same keyring.
#include "ProfileMailSessionFactory.h"
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmAccount.h"
#include "admin/frmMain.h"
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
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
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
    // The dialog opened from the main window on an account at the fixture's servers whose
    // password is typed in, and saved.
    void saveTypedPassword(const ServerBackend& backend)
    {
        backend.configure(*m_file, kProfile);
        m_file->remove(kProfile, SettingsKeys::kMailPassword);
        m_windows->showMain();
        control<QAction>(m_windows->main(), "mnuAccount")->trigger();
        control<QLineEdit>(m_windows->account(), "txtPassword")->setText(QStringLiteral("secret"));
        control<QPushButton>(m_windows->account(), "cmdSave")->click();
        QVERIFY(!m_windows->account().isVisible());
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
        saveTypedPassword(backend);

        QCOMPARE(m_keyring->read(backend.user()), QStringLiteral("secret"));
        QVERIFY2(!fileText().contains(QStringLiteral("password")), qPrintable(fileText()));
        QVERIFY(fileText().contains(QStringLiteral("secret=keyring")));

        // The desktop's pass reads the keyring from a thread of its own.
        std::optional<SignOn> signOn;
        const std::unique_ptr<QThread> thread(QThread::create([&] { signOn = m_mail->signOn(kProfile); }));
        thread->start();
        QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 30000);
        QVERIFY2(signOn && signOn->session, qPrintable(signOn ? signOn->failure : QString()));
        signOn->session->signOff();

        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.sc"), {});
        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
        backend.deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                    QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        QProcess attendant;
        attendant.start(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        QVERIFY(attendant.waitForFinished(60000));
        const QString log = QString::fromUtf8(attendant.readAllStandardError());
        QCOMPARE(attendant.exitCode(), 0);
        QVERIFY2(log.contains(QStringLiteral("pass: 1 replies sent")), qPrintable(log));
        QCOMPARE(backend.replies().size(), 1);
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
        m_test->prompter.expect(AdminMessages::noKeyring(), DefaultButton{Button::Ok});
        saveTypedPassword(backend);
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
