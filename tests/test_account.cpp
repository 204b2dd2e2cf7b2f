// The mail account dialog without servers: the presets, what Save writes and Load shows, the
// boxes for missing fields, and the way there and back from the main window.
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmAccount.h"
#include "admin/frmMain.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "support/Controls.h"
#include "support/TestContext.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;

} // namespace

class TestAccount : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<Windows> m_windows;

    frmAccount& openDialog()
    {
        control<QAction>(m_windows->main(), "mnuAccount")->trigger();
        return m_windows->account();
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(m_windows->account(), name); }
    QComboBox* list(const char* name) { return control<QComboBox>(m_windows->account(), name); }
    QSpinBox* port(const char* name) { return control<QSpinBox>(m_windows->account(), name); }
    void click(const char* name) { control<QPushButton>(m_windows->account(), name)->click(); }
    void choose(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }
    QString stored(const QString& key) const { return m_test->store.values.value(kProfile + QLatin1Char('/') + key); }
    bool isStored(const QString& key) const { return m_test->store.values.contains(kProfile + QLatin1Char('/') + key); }
    // An account at a server of one's own, every required field filled.
    void fillOther()
    {
        openDialog();
        choose(list("cboProvider"), int(AccountForm::Provider::Other));
        box("txtAddress")->setText(QStringLiteral("courses@example.org"));
        box("txtIncomingServer")->setText(QStringLiteral("mail.example.org"));
        box("txtOutgoingServer")->setText(QStringLiteral("smtp.example.org"));
        box("txtUser")->setText(QStringLiteral("courses"));
        box("txtPassword")->setText(QStringLiteral("pw"));
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        m_windows = std::make_unique<Windows>(m_test->context);
        m_windows->showMain();
    }
    void cleanup()
    {
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_windows.reset();
        m_test.reset();
    }

    // Presets
    void provider_chosen_fillsItsServersPortsAndSecurity_data()
    {
        QTest::addColumn<int>("provider");
        QTest::addColumn<QString>("incoming");
        QTest::addColumn<int>("incomingPort");
        QTest::addColumn<QString>("incomingSecurity");
        QTest::addColumn<QString>("outgoing");
        QTest::addColumn<int>("outgoingPort");
        QTest::addColumn<QString>("outgoingSecurity");
        QTest::addColumn<QString>("signOn");
        QTest::newRow("Gmail") << 1 << "imap.gmail.com" << 993 << "TLS"
                               << "smtp.gmail.com" << 465 << "TLS"
                               << "OAuth 2.0 (sign in with the browser)";
        QTest::newRow("Microsoft") << 2 << "outlook.office365.com" << 993 << "TLS"
                                   << "smtp.office365.com" << 587 << "STARTTLS"
                                   << "OAuth 2.0 (sign in with the browser)";
        // Without a provider's sign-on of its own, the sign-on stays as Gmail left it.
        QTest::newRow("Other") << 3 << "" << 993 << "TLS"
                               << "" << 587 << "STARTTLS"
                               << "OAuth 2.0 (sign in with the browser)";
        QTest::newRow("This computer") << 0 << "" << 993 << "TLS"
                                       << "" << 587 << "STARTTLS"
                                       << "OAuth 2.0 (sign in with the browser)";
    }
    void provider_chosen_fillsItsServersPortsAndSecurity()
    {
        QFETCH(int, provider);
        openDialog();
        choose(list("cboProvider"), 1);
        choose(list("cboProvider"), provider);
        QTEST(box("txtIncomingServer")->text(), "incoming");
        QTEST(port("spnIncomingPort")->value(), "incomingPort");
        QTEST(list("cboIncomingSecurity")->currentText(), "incomingSecurity");
        QTEST(box("txtOutgoingServer")->text(), "outgoing");
        QTEST(port("spnOutgoingPort")->value(), "outgoingPort");
        QTEST(list("cboOutgoingSecurity")->currentText(), "outgoingSecurity");
        QTEST(list("cboSignOn")->currentText(), "signOn");
        QCOMPARE(box("txtIncomingServer")->isEnabled(), provider != 0);
        // What the provider filled in stays editable.
        box("txtIncomingServer")->setText(QStringLiteral("imap.example.org"));
        QCOMPARE(box("txtIncomingServer")->text(), QStringLiteral("imap.example.org"));
    }

    // Loading and saving
    void load_noProfile_showsThisComputerOnly()
    {
        openDialog();
        QCOMPARE(list("cboProvider")->currentText(), QStringLiteral("This computer only (no server)"));
        click("cmdSave");
        QVERIFY(!m_windows->account().isVisible());
        QCOMPARE(stored(SettingsKeys::kMailInbox), MailProfile::kMaildirScheme + MailProfile::defaultInboxFolder());
    }

    void save_thisComputerAfterAServer_usesTheEmbeddedMaildir()
    {
        m_test->store.write(kProfile, SettingsKeys::kMailInbox, QStringLiteral("imaps://imap.example.org/INBOX"));
        m_test->store.write(kProfile, SettingsKeys::kMailOutbox, QStringLiteral("smtps://smtp.example.org"));
        openDialog();
        choose(list("cboProvider"), int(AccountForm::Provider::ThisComputer));
        click("cmdSave");
        QCOMPARE(stored(SettingsKeys::kMailInbox), MailProfile::kMaildirScheme + MailProfile::defaultInboxFolder());
        QCOMPARE(stored(SettingsKeys::kMailOutbox), MailProfile::kMaildirScheme + MailProfile::defaultOutboxFolder());
    }

    void save_thenReload_showsTheSameAndKeepsOtherKeys()
    {
        m_test->store.write(kProfile, SettingsKeys::kMailCaFile, QStringLiteral("/etc/our-ca.pem"));
        fillOther();
        box("txtFolder")->setText(QStringLiteral("Sign ups"));
        port("spnIncomingPort")->setValue(1143);
        list("cboIncomingSecurity")->setCurrentIndex(2);
        list("cboOutgoingSecurity")->setCurrentIndex(2);
        click("cmdSave");
        QVERIFY(m_windows->main().isVisible());

        QCOMPARE(stored(SettingsKeys::kMailInbox), QStringLiteral("imap://mail.example.org:1143/Sign%20ups"));
        QCOMPARE(stored(SettingsKeys::kMailOutbox), QStringLiteral("smtp://smtp.example.org:587"));
        QCOMPARE(stored(SettingsKeys::kMailTls), QStringLiteral("off"));
        QCOMPARE(stored(SettingsKeys::kMailFrom), QStringLiteral("courses@example.org"));
        QCOMPARE(stored(SettingsKeys::kMailCaFile), QStringLiteral("/etc/our-ca.pem"));
        QCOMPARE(stored(SettingsKeys::kMailSecret), QStringLiteral("keyring"));
        QVERIFY(!isStored(SettingsKeys::kMailPassword));
        QCOMPARE(m_test->keyring.secrets.value(QStringLiteral("courses")), QStringLiteral("pw"));

        openDialog();
        QCOMPARE(list("cboProvider")->currentIndex(), int(AccountForm::Provider::Other));
        QCOMPARE(box("txtAddress")->text(), QStringLiteral("courses@example.org"));
        QCOMPARE(box("txtIncomingServer")->text(), QStringLiteral("mail.example.org"));
        QCOMPARE(port("spnIncomingPort")->value(), 1143);
        QCOMPARE(list("cboIncomingSecurity")->currentText(), QStringLiteral("none"));
        QCOMPARE(box("txtFolder")->text(), QStringLiteral("Sign ups"));
        QCOMPARE(list("cboOutgoingSecurity")->currentText(), QStringLiteral("none"));
        QCOMPARE(box("txtUser")->text(), QStringLiteral("courses"));
        QVERIFY(box("txtPassword")->text().isEmpty());
        QCOMPARE(box("txtPassword")->placeholderText(), QStringLiteral("kept in the keyring"));
        // Saved again without typing the password, the keyring's stays.
        click("cmdSave");
        QCOMPARE(stored(SettingsKeys::kMailSecret), QStringLiteral("keyring"));
    }

    void save_passwordInTheFile_movesItIntoTheKeyring()
    {
        m_test->store.write(kProfile, SettingsKeys::kMailInbox, QStringLiteral("imaps://imap.example.org/INBOX"));
        m_test->store.write(kProfile, SettingsKeys::kMailOutbox, QStringLiteral("smtps://smtp.example.org"));
        m_test->store.write(kProfile, SettingsKeys::kMailUser, QStringLiteral("ann"));
        m_test->store.write(kProfile, SettingsKeys::kMailPassword, QStringLiteral("old secret"));
        openDialog();
        QCOMPARE(port("spnOutgoingPort")->value(), 465);
        QCOMPARE(box("txtAddress")->text(), QStringLiteral("ann"));
        click("cmdSave");
        QVERIFY(!isStored(SettingsKeys::kMailPassword));
        QCOMPARE(m_test->keyring.secrets.value(QStringLiteral("ann")), QStringLiteral("old secret"));
    }

    void save_signOnByCommand_keepsTheAuthKey()
    {
        m_test->store.write(kProfile, SettingsKeys::kMailAuth, QStringLiteral("oauthbearer"));
        m_test->store.write(kProfile, SettingsKeys::kMailPasswordCommand, QStringLiteral("helper --token"));
        fillOther();
        QCOMPARE(list("cboSignOn")->currentText(), QStringLiteral("Command"));
        QCOMPARE(box("txtCommand")->text(), QStringLiteral("helper --token"));
        QVERIFY(!box("txtPassword")->isVisibleTo(&m_windows->account()));
        click("cmdSave");
        QCOMPARE(stored(SettingsKeys::kMailPasswordCommand), QStringLiteral("helper --token"));
        QCOMPARE(stored(SettingsKeys::kMailAuth), QStringLiteral("oauthbearer"));
        QVERIFY(!isStored(SettingsKeys::kMailSecret));
    }

    // Missing fields
    void saveOrTest_requiredFieldEmpty_saysWhichAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("button");
        QTest::newRow("address, Save") << QByteArray("txtAddress") << "Please enter the address."
                                       << QByteArray("cmdSave");
        QTest::newRow("address, Test") << QByteArray("txtAddress") << "Please enter the address."
                                       << QByteArray("cmdTest");
        QTest::newRow("incoming server") << QByteArray("txtIncomingServer") << "Please enter the incoming server."
                                         << QByteArray("cmdSave");
        QTest::newRow("folder") << QByteArray("txtFolder") << "Please enter the folder." << QByteArray("cmdTest");
        QTest::newRow("outgoing server") << QByteArray("txtOutgoingServer") << "Please enter the outgoing server."
                                         << QByteArray("cmdSave");
        QTest::newRow("user name") << QByteArray("txtUser") << "Please enter the user name." << QByteArray("cmdSave");
        QTest::newRow("password") << QByteArray("txtPassword") << "Please enter the password." << QByteArray("cmdTest");
    }
    void saveOrTest_requiredFieldEmpty_saysWhichAndWritesNothing()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, button);
        fillOther();
        box(field.constData())->clear();
        m_test->prompter.expect(plainMessage(text), DefaultButton{Button::Ok});
        click(button.constData());
        QVERIFY(m_windows->account().isVisible());
        QVERIFY(!isStored(SettingsKeys::kMailInbox));
        QVERIFY(!m_windows->account().testing());
    }

    void save_oauthWithoutSignIn_asksForIt()
    {
        fillOther();
        choose(list("cboProvider"), int(AccountForm::Provider::Gmail));
        m_test->prompter.expect(plainMessage(QStringLiteral("Please enter the client ID.")), DefaultButton{Button::Ok});
        click("cmdSave");
        box("txtClientId")->setText(QStringLiteral("our-app"));
        m_test->prompter.expect(plainMessage(QStringLiteral("Please sign in with the browser.")),
                                DefaultButton{Button::Ok});
        click("cmdSave");
        QVERIFY(!isStored(SettingsKeys::kMailInbox));
    }

    void save_noneBesideStartTls_refused()
    {
        fillOther();
        list("cboIncomingSecurity")->setCurrentIndex(2);
        m_test->prompter.expect(AdminMessages::plainBesideStartTls(), DefaultButton{Button::Ok});
        click("cmdSave");
        QVERIFY(!isStored(SettingsKeys::kMailInbox));
    }

    // The way there and back
    void dialog_leftEveryWay_showsTheMainWindowAgain_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel") << "cmdCancel";
        QTest::newRow("frame") << "";
    }
    void dialog_leftEveryWay_showsTheMainWindowAgain()
    {
        QFETCH(QString, way);
        frmAccount& dialog = openDialog();
        QVERIFY(dialog.isVisible());
        QVERIFY(!m_windows->main().isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Mail Account"));
        if (way.isEmpty())
            dialog.close();
        else
            click(qPrintable(way));
        QVERIFY(m_windows->main().isVisible());
        QVERIFY(!isStored(SettingsKeys::kMailInbox));
    }
};

QTEST_MAIN(TestAccount)
#include "test_account.moc"
