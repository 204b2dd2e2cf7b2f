// Signing on with OAuth 2.0 access tokens (auth=xoauth2, auth=oauthbearer) against the fixture's
// Dovecot server, whose oauth2 passdb asks the fixture's token server about every token, and
// its SMTP sink, which asks the same server and notes each token it was given.
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"
#include "support/Subjects.h"

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
    std::unique_ptr<PassRigOn<ServerBackend>> m_rig;

    void set(const QString& key, const QString& value) { m_rig->store.write(kProfile, key, value); }
    QString env(const char* key) const { return m_rig->mail.value(QString::fromLatin1(key)); }
    QString issued() const { return m_rig->folders.root() + QStringLiteral("issued"); }

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
            if (fields.size() == 4 && fields.at(1) == m_rig->mail.user())
                notes.append(fields);
        }
        return notes;
    }
    // The mechanisms of Dovecot's sign-ons of this test's user, but for the password sign-ons of
    // the client that fills and inspects the mailbox.
    QStringList imapSignOns() const
    {
        QStringList methods;
        const QString login = QStringLiteral("Login: user=<%1>, method=").arg(m_rig->mail.user());
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
        m_rig->mail.deliver(requestMail(Subjects::kRegister, QStringLiteral("E00001"), QStringLiteral("Ann"),
                                        QStringLiteral("ann@example.org")));
    }

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<PassRigOn<ServerBackend>>();
        QVERIFY2(m_rig->mail.problem().isEmpty(), qPrintable(m_rig->mail.problem()));
        set(SettingsKeys::kMailPassword, QString());
        set(SettingsKeys::kMailPasswordCommand, tokenCommand(m_rig->mail.user()));
    }

    void cleanup() { m_rig.reset(); }

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
        SignOn signOn = m_rig->sessions().signOn(kProfile);
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
                 (QList<QStringList>{{mechanism, m_rig->mail.user(), tokens.first(), QStringLiteral("accepted")}}));
        QCOMPARE(m_rig->mail.replies().size(), 1);
    }

    void everyPass_runsTheTokenCommandAfresh()
    {
        set(SettingsKeys::kMailAuth, QStringLiteral("xoauth2"));
        for (int pass = 0; pass < 2; ++pass) {
            deliverRequest();
            const PassReport report = m_rig->run();
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
            expired ? tokenCommand(m_rig->mail.user(), -60) : QStringLiteral("echo no-such-token"));
        MaildirBackend maildir(m_rig->folders.root() + QStringLiteral("maildir/"));
        if (imap) {
            deliverRequest();
        } else {
            set(SettingsKeys::kMailInbox, MailProfile::kMaildirScheme + maildir.inbox());
            maildir.deliver(requestMail(Subjects::kRegister, QStringLiteral("E00001"), QStringLiteral("Ann"),
                                        QStringLiteral("ann@example.org")));
        }
        const PassReport report = m_rig->run();
        const QString server = imap ? m_rig->mail.imapUrl().section(QLatin1Char('/'), 0, 2) : m_rig->mail.smtpUrl();
        QVERIFY2(
            report.failure.startsWith(server + QStringLiteral(": sign-on refused: the access token was not accepted")),
            qPrintable(report.failure));
        QCOMPARE(m_rig->listener.reasons, QStringList{report.failure});
        QCOMPARE(report.replies, 0);
        QVERIFY(m_rig->mail.replies().isEmpty());
        if (imap) {
            QCOMPARE(m_rig->mail.unreadCount(), 1);
        } else {
            QCOMPARE(sinkSignOns().size(), 1);
            QCOMPARE(sinkSignOns().first().last(), QStringLiteral("refused"));
            QCOMPARE(maildir.unreadCount(), 1);
        }
    }

    void signOn_unknownAuth_failsNamingIt()
    {
        set(SettingsKeys::kMailAuth, QStringLiteral("kerberos"));
        const SignOn signOn = m_rig->sessions().signOn(kProfile);
        QVERIFY(!signOn.session);
        QCOMPARE(signOn.failure, QStringLiteral("auth=kerberos: not password, xoauth2 or oauthbearer"));
        QVERIFY(!QFile::exists(issued()));
    }
};

QTEST_GUILESS_MAIN(TestOAuth)
#include "test_oauth.moc"
