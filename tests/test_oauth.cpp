// Signing on with OAuth 2.0 access tokens (auth=xoauth2, auth=oauthbearer) against the fixture's
// Dovecot server, whose oauth2 passdb asks the fixture's token server about every token, and
// its SMTP sink, which asks the same server and notes each token it was given.
#include "ProfileMailSessionFactory.h"
#include "attendant/ProcessingPass.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingPassListener.h"
#include "support/RecordingWatchListener.h"
#include "support/ServerBackend.h"
#include "support/TestFolders.h"

#include <QFile>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestOAuth : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    std::unique_ptr<ServerBackend> m_backend;
    std::unique_ptr<MemorySettingsStore> m_store;

    void set(const QString& key, const QString& value) { m_store->write(kProfile, key, value); }
    QString env(const char* key) const { return m_backend->value(QString::fromLatin1(key)); }
    QString issued() const { return m_folders->root() + QStringLiteral("issued"); }

    // A token helper: asks the token server for a new token of the user, and notes it.
    QString tokenCommand(const QString& user, int lifetime = 3600) const
    {
        return QStringLiteral("/usr/bin/python3 %1 issue %2 %3 %4 | tee -a %5")
            .arg(env("ENROLIX_TOKEN_TOOL"), env("ENROLIX_TOKEN_URL"), user)
            .arg(lifetime)
            .arg(issued());
    }
    // The sink's notes on the tokens of this test's user: mechanism, user, token, verdict.
    QList<QStringList> sinkSignOns() const
    {
        QList<QStringList> notes;
        for (const QString& line : linesOf(env("ENROLIX_SINK_DIR") + QStringLiteral("/auth.log"))) {
            const QStringList fields = line.split(QLatin1Char(' '));
            if (fields.size() == 4 && fields.at(1) == m_backend->user())
                notes.append(fields);
        }
        return notes;
    }
    // The mechanisms of Dovecot's sign-ons of this test's user, but for the password sign-ons of
    // the client that fills and inspects the mailbox.
    QStringList imapSignOns() const
    {
        QStringList methods;
        const QString login = QStringLiteral("Login: user=<%1>, method=").arg(m_backend->user());
        for (const QString& line : linesOf(env("ENROLIX_MAIL_STATE") + QStringLiteral("/dovecot.log"))) {
            const qsizetype at = line.indexOf(login);
            const QString method = line.mid(at + login.size()).section(QLatin1Char(','), 0, 0);
            if (at >= 0 && method != QLatin1String("PLAIN"))
                methods.append(method);
        }
        return methods;
    }
    void deliverRequest()
    {
        m_backend->deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                       QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_backend = std::make_unique<ServerBackend>(m_folders->root());
        if (!m_backend->problem().isEmpty())
            QFAIL(qPrintable(m_backend->problem()));
        m_store = std::make_unique<MemorySettingsStore>();
        m_backend->configure(*m_store, kProfile);
        set(SettingsKeys::kMailPassword, QString());
        set(SettingsKeys::kMailPasswordCommand, tokenCommand(m_backend->user()));
    }

    void cleanup()
    {
        m_backend.reset();
        m_folders.reset();
    }

    // Tokens that are valid
    void signOn_validToken_readsAndSendsWithTheMechanism_data()
    {
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("mechanism");
        QTest::newRow("xoauth2") << "xoauth2"
                                 << "XOAUTH2";
        QTest::newRow("oauthbearer, written in capitals") << "OAuthBearer"
                                                          << "OAUTHBEARER";
    }
    void signOn_validToken_readsAndSendsWithTheMechanism()
    {
        QFETCH(QString, auth);
        QFETCH(QString, mechanism);
        set(SettingsKeys::kMailAuth, auth);
        deliverRequest();
        ProfileMailSessionFactory factory(*m_store);
        SignOn signOn = factory.signOn(kProfile);
        QVERIFY2(signOn.session, qPrintable(signOn.failure));
        QVERIFY(signOn.session->fetchUnread());
        QCOMPARE(signOn.session->count(), 1);
        QVERIFY(signOn.session->read(0));
        QCOMPARE(signOn.session->sendReply(0, QStringLiteral("ann@example.org"), QStringLiteral("Ann"),
                                           QStringLiteral("S"), QStringLiteral("T")),
                 SendResult::Sent);
        signOn.session->signOff();

        QCOMPARE(imapSignOns(), QStringList{mechanism});
        const QStringList tokens = linesOf(issued());
        QCOMPARE(tokens.size(), 1);
        QCOMPARE(sinkSignOns(),
                 (QList<QStringList>{{mechanism, m_backend->user(), tokens.first(), QStringLiteral("accepted")}}));
        QCOMPARE(m_backend->replies().size(), 1);
    }

    void everyPass_runsTheTokenCommandAfresh()
    {
        set(SettingsKeys::kMailAuth, QStringLiteral("xoauth2"));
        Settings settings = m_folders->settings();
        for (int pass = 0; pass < 2; ++pass) {
            deliverRequest();
            ProfileMailSessionFactory factory(*m_store);
            RecordingPassListener listener;
            const PassReport report = ProcessingPass(settings, factory, listener).run();
            QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
            QCOMPARE(report.replies, 1);
        }
        const QStringList tokens = linesOf(issued());
        QCOMPARE(tokens.size(), 2);
        QVERIFY(tokens.at(0) != tokens.at(1));
        const QList<QStringList> sent = sinkSignOns();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).at(2), tokens.at(0));
        QCOMPARE(sent.at(1).at(2), tokens.at(1));
        QCOMPARE(imapSignOns(), (QStringList{QStringLiteral("XOAUTH2"), QStringLiteral("XOAUTH2")}));
    }

    // Tokens that are not accepted
    void pass_refusedToken_failsSayingSo_data()
    {
        QTest::addColumn<bool>("imap");
        QTest::addColumn<bool>("expired");
        QTest::newRow("IMAP, unknown token") << true << false;
        QTest::newRow("IMAP, expired token") << true << true;
        QTest::newRow("SMTP, unknown token") << false << false;
        QTest::newRow("SMTP, expired token") << false << true;
    }
    void pass_refusedToken_failsSayingSo()
    {
        QFETCH(bool, imap);
        QFETCH(bool, expired);
        set(SettingsKeys::kMailAuth, QStringLiteral("xoauth2"));
        set(SettingsKeys::kMailPasswordCommand,
            expired ? tokenCommand(m_backend->user(), -60) : QStringLiteral("echo no-such-token"));
        MaildirBackend maildir(m_folders->root() + QStringLiteral("maildir/"));
        if (imap) {
            deliverRequest();
        } else {
            set(SettingsKeys::kMailInbox, MailProfile::kMaildirScheme + maildir.inbox());
            maildir.deliver(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                        QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        }
        ProfileMailSessionFactory factory(*m_store);
        RecordingPassListener listener;
        const PassReport report = ProcessingPass(m_folders->settings(), factory, listener).run();
        const QString server = imap ? m_backend->imapUrl().section(QLatin1Char('/'), 0, 2) : m_backend->smtpUrl();
        QVERIFY2(
            report.failure.startsWith(server + QStringLiteral(": sign-on refused: the access token was not accepted")),
            qPrintable(report.failure));
        QCOMPARE(listener.reasons, QStringList{report.failure});
        QCOMPARE(report.replies, 0);
        QVERIFY(m_backend->replies().isEmpty());
        if (imap) {
            QCOMPARE(m_backend->unreadCount(), 1);
        } else {
            QCOMPARE(sinkSignOns().size(), 1);
            QCOMPARE(sinkSignOns().first().last(), QStringLiteral("refused"));
            QCOMPARE(maildir.unreadCount(), 1);
        }
    }

    // The inbox watcher's own connection: a token of its own, and a fresh one at every attempt.
    void watcher_signsOnWithATokenOfItsOwn_data()
    {
        QTest::addColumn<QString>("auth");
        QTest::addColumn<bool>("valid");
        QTest::newRow("xoauth2") << "xoauth2" << true;
        QTest::newRow("oauthbearer") << "oauthbearer" << true;
        QTest::newRow("xoauth2, expired token") << "xoauth2" << false;
        QTest::newRow("oauthbearer, expired token") << "oauthbearer" << false;
    }
    void watcher_signsOnWithATokenOfItsOwn()
    {
        QFETCH(QString, auth);
        QFETCH(bool, valid);
        set(SettingsKeys::kMailAuth, auth);
        if (!valid)
            set(SettingsKeys::kMailPasswordCommand, tokenCommand(m_backend->user(), -60));
        ProfileMailSessionFactory factory(*m_store);
        RecordingWatchListener listener;
        const WatchTimes times{std::chrono::minutes(25), std::chrono::milliseconds(100),
                               std::chrono::milliseconds(100)};
        const std::unique_ptr<InboxWatcher> watcher = factory.watch(kProfile, listener, times);
        if (valid) {
            QTRY_COMPARE(listener.watchings(), QList<InboxWatcher::Watching>{InboxWatcher::Watching::ImapIdle});
            QCOMPARE(imapSignOns(), QStringList{auth.toUpper()});
            QCOMPARE(linesOf(issued()).size(), 1);
            return;
        }
        // The server waits a while before it refuses a sign-on.
        QTRY_VERIFY_WITH_TIMEOUT(listener.interruptions().size() >= 2, 30000);
        QCOMPARE(listener.interruptions().first().reason, m_backend->imapUrl().section(QLatin1Char('/'), 0, 2) +
                                                              QStringLiteral(": sign-on refused: the access token "
                                                                             "was not accepted"));
        const QStringList tokens = linesOf(issued());
        QVERIFY(tokens.size() >= 2 && tokens.at(0) != tokens.at(1));
        QVERIFY(listener.watchings().isEmpty());
    }

    void signOn_unknownAuth_failsNamingIt()
    {
        set(SettingsKeys::kMailAuth, QStringLiteral("kerberos"));
        ProfileMailSessionFactory factory(*m_store);
        const SignOn signOn = factory.signOn(kProfile);
        QVERIFY(!signOn.session);
        QCOMPARE(signOn.failure, QStringLiteral("auth=kerberos: not password, xoauth2 or oauthbearer"));
        QVERIFY(!QFile::exists(issued()));
    }
};

QTEST_GUILESS_MAIN(TestOAuth)
#include "test_oauth.moc"
