// The account dialog against real servers: Test Account step by step against the fixture's
// Dovecot and SMTP sink, the test host without STARTTLS and a dead port; and the sign-in with
// the browser against the fixture's authorization server, with every pass after it, and the
// inbox watcher, trading the kept refresh token for an access token.
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmAccount.h"
#include "admin/frmMain.h"
#include "attendant/ProcessingPass.h"
#include "mail/MailTexts.h"
#include "mail/ProfileKeys.h"
#include "support/Controls.h"
#include "support/EnvironmentFile.h"
#include "support/MailSamples.h"
#include "support/RecordingPassListener.h"
#include "support/RecordingWatchListener.h"
#include "support/ServerBackend.h"
#include "support/TestContext.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QUrlQuery>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;

// A loopback port where nothing listens.
int deadPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

class TestAccountServers : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ServerBackend> m_backend;
    std::unique_ptr<Windows> m_windows;

    QString env(const char* key) const { return m_backend->value(QString::fromLatin1(key)); }
    frmAccount& dialog() { return m_windows->account(); }
    QLineEdit* box(const char* name) { return control<QLineEdit>(dialog(), name); }
    void click(const char* name) { control<QPushButton>(dialog(), name)->click(); }
    QStringList results()
    {
        QStringList lines;
        auto* list = control<QListWidget>(dialog(), "lstResults");
        for (int row = 0; row < list->count(); ++row)
            lines << list->item(row)->text();
        return lines;
    }
    // The dialog on the fixture's account, its password removed from the profile.
    void openOnTheFixture()
    {
        m_backend->configure(m_test->store, kProfile);
        m_test->store.remove(kProfile, SettingsKeys::kMailPassword);
        control<QAction>(m_windows->main(), "mnuAccount")->trigger();
    }
    // Test Account, until its last step is shown.
    QStringList testAccount()
    {
        QSignalSpy finished(&dialog(), &frmAccount::testFinished);
        click("cmdTest");
        if (!finished.wait(60000))
            return {QStringLiteral("no end")};
        return results();
    }
    // What the authorization server answers, as a browser gets it, redirects not followed.
    static QNetworkReply* get(QNetworkAccessManager& web, const QUrl& address)
    {
        QNetworkRequest request(address);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* reply = web.get(request);
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(10000);
        return reply;
    }
    // Plays the person at the browser: signs in as the fixture's user and consents.
    void signInAtTheBrowser()
    {
        QTRY_COMPARE(m_test->browser.opened.size(), 1);
        QUrl authorize = m_test->browser.opened.takeFirst();
        QUrlQuery query(authorize);
        QCOMPARE(query.queryItemValue(QStringLiteral("code_challenge_method")), QStringLiteral("S256"));
        query.addQueryItem(QStringLiteral("user"), m_backend->user());
        authorize.setQuery(query);
        QNetworkAccessManager web;
        std::unique_ptr<QNetworkReply> consent(get(web, authorize));
        const QUrl redirect = consent->header(QNetworkRequest::LocationHeader).toUrl();
        QCOMPARE(redirect.host(), QStringLiteral("127.0.0.1"));
        std::unique_ptr<QNetworkReply> back(get(web, redirect));
        QCOMPARE(back->error(), QNetworkReply::NoError);
    }
    void post(const QString& path, const QString& name, const QString& value)
    {
        QNetworkAccessManager web;
        QNetworkRequest request(QUrl(env("ENROLIX_TOKEN_URL") + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        std::unique_ptr<QNetworkReply> reply(web.post(request, (name + QLatin1Char('=') + value).toUtf8()));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        QVERIFY(done.wait(10000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
    }
    PassReport pass()
    {
        m_backend->deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                       QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        RecordingPassListener listener;
        return ProcessingPass(m_test->settings, m_test->sessions(), listener).run();
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        m_backend = std::make_unique<ServerBackend>(m_test->folders.root());
        QVERIFY2(m_backend->problem().isEmpty(), qPrintable(m_backend->problem()));
        m_windows = std::make_unique<Windows>(m_test->context);
        m_windows->showMain();
        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.sc"), {});
        m_test->folders.write(m_test->folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
    }
    void cleanup()
    {
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_windows.reset();
        m_backend.reset();
        m_test.reset();
    }

    // Test Account
    void testAccount_fixtureAccount_everyStepOkAndNothingChanges()
    {
        m_backend->deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                       QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        openOnTheFixture();
        box("txtPassword")->setText(QStringLiteral("secret"));
        QCOMPARE(testAccount(),
                 (QStringList{QStringLiteral("Incoming server: OK"), QStringLiteral("Incoming sign-on: OK"),
                              QStringLiteral("Folder INBOX: OK, 1 unread"), QStringLiteral("Outgoing server: OK"),
                              QStringLiteral("Outgoing sign-on: OK")}));
        QCOMPARE(m_backend->unreadCount(), 1);
        QVERIFY(m_backend->replies().isEmpty());
        // A test saves nothing.
        QVERIFY(m_test->keyring.secrets.isEmpty());
    }

    void testAccount_failingStep_namesItsReasonAndGoesNoFurther_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("okSteps");
        QTest::addColumn<QString>("failure");
        QTest::newRow("wrong password") << "password" << QStringList{QStringLiteral("Incoming server: OK")}
                                        << "Incoming sign-on: imap://127.0.0.1:%1: sign-on refused";
        QTest::newRow("dead incoming port")
            << "incoming port" << QStringList{} << "Incoming server: imap://127.0.0.1:%1: host unreachable";
        QTest::newRow("dead outgoing port")
            << "outgoing port"
            << QStringList{QStringLiteral("Incoming server: OK"), QStringLiteral("Incoming sign-on: OK"),
                           QStringLiteral("Folder INBOX: OK, 0 unread")}
            << "Outgoing server: smtp://127.0.0.1:%1: host unreachable";
        QTest::newRow("missing folder") << "folder"
                                        << QStringList{QStringLiteral("Incoming server: OK"),
                                                       QStringLiteral("Incoming sign-on: OK")}
                                        << "Folder Sign-ups: imap://127.0.0.1:%1: folder missing";
        QTest::newRow("no STARTTLS on another host")
            << "test host" << QStringList{} << "Incoming server: imap://%1:143: server offers no STARTTLS";
    }
    void testAccount_failingStep_namesItsReasonAndGoesNoFurther()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, okSteps);
        QFETCH(QString, failure);
        openOnTheFixture();
        box("txtPassword")
            ->setText(fault == QLatin1String("password") ? QStringLiteral("wrong") : QStringLiteral("secret"));
        QString server = env("ENROLIX_IMAP_PORT");
        if (fault == QLatin1String("incoming port") || fault == QLatin1String("outgoing port")) {
            server = QString::number(deadPort());
            control<QSpinBox>(dialog(), fault == QLatin1String("incoming port") ? "spnIncomingPort" : "spnOutgoingPort")
                ->setValue(server.toInt());
        } else if (fault == QLatin1String("folder")) {
            box("txtFolder")->setText(QStringLiteral("Sign-ups"));
        } else if (fault == QLatin1String("test host")) {
            const std::optional<QMap<QString, QString>> host = readEnvironmentFile("ENROLIX_TEST_HOST");
            QVERIFY(host);
            if (host->contains(QStringLiteral("ENROLIX_TEST_HOST_SKIP")))
                QSKIP(qPrintable(host->value(QStringLiteral("ENROLIX_TEST_HOST_SKIP"))));
            server = host->value(QStringLiteral("ENROLIX_TEST_HOST_ADDRESS"));
            box("txtIncomingServer")->setText(server);
            control<QSpinBox>(dialog(), "spnIncomingPort")->setValue(143);
        }
        QElapsedTimer timer;
        timer.start();
        const QStringList lines = testAccount();
        // Within the time limits of a pass: reaching a server, and its answer.
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(lines.mid(0, okSteps.size()), okSteps);
        QCOMPARE(lines.size(), okSteps.size() + 1);
        QVERIFY2(lines.last().startsWith(failure.arg(server)), qPrintable(lines.last()));
    }

    // Sign-in with the browser
    void signIn_thenEveryPassTradesTheRefreshToken_untilItIsRevoked_data()
    {
        QTest::addColumn<bool>("keyring");
        QTest::addColumn<bool>("renewalRefused");
        QTest::newRow("in the keyring") << true << false;
        QTest::newRow("in the settings file, without a keyring") << false << false;
        QTest::newRow("in a keyring that refuses the renewed one") << true << true;
    }
    void signIn_thenEveryPassTradesTheRefreshToken_untilItIsRevoked()
    {
        QFETCH(bool, keyring);
        QFETCH(bool, renewalRefused);
        m_test->keyring.isAvailable = keyring;
        m_test->store.write(kProfile, SettingsKeys::kMailAuth, QStringLiteral("xoauth2"));
        m_test->store.write(kProfile, SettingsKeys::kMailOAuthAuthorizeUrl,
                            env("ENROLIX_TOKEN_URL") + QStringLiteral("/authorize"));
        m_test->store.write(kProfile, SettingsKeys::kMailOAuthTokenUrl,
                            env("ENROLIX_TOKEN_URL") + QStringLiteral("/token"));
        openOnTheFixture();
        QCOMPARE(control<QComboBox>(dialog(), "cboSignOn")->currentText(),
                 QStringLiteral("OAuth 2.0 (sign in with the browser)"));
        box("txtClientId")->setText(QStringLiteral("enrolix-test"));
        m_test->prompter.expect(AdminMessages::signedIn(), DefaultButton{Button::Ok});
        click("cmdSignIn");
        signInAtTheBrowser();
        QTRY_COMPARE_WITH_TIMEOUT(m_test->prompter.shown().size(), 1, 10000);

        QCOMPARE(testAccount().size(), 5);
        QVERIFY2(results().last() == QStringLiteral("Outgoing sign-on: OK"),
                 qPrintable(results().join(QLatin1Char('\n'))));
        if (!keyring)
            m_test->prompter.expect(AdminMessages::noKeyring(), DefaultButton{Button::Ok});
        click("cmdSave");
        const QString user = m_backend->user();
        // Where the sign-in is kept: the keyring, or the owner-only settings file.
        const auto kept = [&] {
            return keyring
                       ? m_test->keyring.secrets.value(user)
                       : m_test->store.values.value(kProfile + QLatin1Char('/') + SettingsKeys::kMailOAuthRefreshToken);
        };
        const QString saved = kept();
        QVERIFY(!saved.isEmpty());
        QCOMPARE(m_test->store.values.value(kProfile + QStringLiteral("/secret")),
                 keyring ? QStringLiteral("keyring") : QString());
        QVERIFY(!m_test->store.values.contains(kProfile + QStringLiteral("/password")));

        if (renewalRefused) {
            m_test->keyring.refusal = QStringLiteral("the collection is locked");
            const PassReport refused = pass();
            QCOMPARE(refused.failure, MailTexts::renewedSignInNotKept(user, m_test->keyring.refusal));
            QCOMPARE(refused.replies, 0);
            QCOMPARE(kept(), saved);
            return;
        }
        PassReport report = pass();
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QCOMPARE(report.replies, 1);
        // The provider rotated the refresh token; the new one is kept where the old one was.
        const QString rotated = kept();
        QVERIFY(!rotated.isEmpty());
        QVERIFY(rotated != saved);

        // The inbox watcher of enrolix-attendant signs on the same way: it trades the refresh
        // token in its turn, and the next pass goes on with the one the provider gave it.
        {
            RecordingWatchListener watched;
            const std::unique_ptr<InboxWatcher> watcher = m_test->watchers().watch(kProfile, watched, WatchTimes{});
            QTRY_COMPARE_WITH_TIMEOUT(watched.watchings(),
                                      QList<InboxWatcher::Watching>{InboxWatcher::Watching::ImapIdle}, 10000);
        }
        QVERIFY(m_test->keyring.secrets.value(user) != rotated);
        report = pass();
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QCOMPARE(report.replies, 1);

        post(QStringLiteral("/expire"), QStringLiteral("user"), user);
        report = pass();
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QCOMPARE(report.replies, 1);

        post(QStringLiteral("/revoke"), QStringLiteral("token"), kept());
        report = pass();
        QCOMPARE(report.failure, MailTexts::kSignInExpired);
        QCOMPARE(report.replies, 0);
    }
};

QTEST_MAIN(TestAccountServers)
#include "test_account_servers.moc"
