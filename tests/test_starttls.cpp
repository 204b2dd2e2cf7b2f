// Signing on to mail servers on another machine: the test host of a network namespace, whose
// Dovecot server and SMTP sink offer no STARTTLS and keep every byte they receive. No sign-on
// command and no password may reach them unless the profile asks for a plain connection
// (tls=off); through a loopback address the same servers are signed on to as before.
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "platform/mail/CurlTransport.h"
#include "support/ChildProcess.h"
#include "support/EnvironmentFile.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/PassRig.h"
#include "support/Subjects.h"

#include <QDir>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;
const QString kPassword = QStringLiteral("secret");

// What the clients of one server of the test host sent it, one file per connection.
class ServerSide
{
public:
    ServerSide(const QString& capture, const QString& log) : m_capture(capture), m_log(log) {}

    // From now on, connections are new.
    void mark()
    {
        m_before = files();
        m_ends = ends();
    }
    // Once a connection made after the mark has ended on the server's side, what it received.
    bool connectionEnded() const { return ends() > m_ends; }
    QByteArray received() const
    {
        QByteArray bytes;
        for (const QString& name : files()) {
            QFile file(m_capture + QLatin1Char('/') + name);
            if (!m_before.contains(name) && file.open(QIODevice::ReadOnly))
                bytes += file.readAll();
        }
        return bytes;
    }

private:
    QStringList files() const { return QDir(m_capture).entryList({QStringLiteral("*.in")}, QDir::Files); }
    // Dovecot logs one line for every connection that leaves its sign-on stage; the sink names a
    // connection's record .in once it has ended.
    qsizetype ends() const
    {
        if (m_log.isEmpty())
            return files().size();
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count("imap-login: Info: ") : 0;
    }

    QString m_capture;
    QString m_log;
    QStringList m_before;
    qsizetype m_ends{0};
};

// Whether a line sent begins with a sign-on command (after a rawlog's time stamp and a tag).
bool hasSignOnCommand(const QByteArray& received)
{
    for (const QByteArray& line : received.split('\n')) {
        const QList<QByteArray> words = line.trimmed().toUpper().split(' ');
        for (qsizetype i = 0; i < std::min<qsizetype>(3, words.size()); ++i) {
            if (words.at(i) == "LOGIN" || words.at(i) == "AUTHENTICATE" || words.at(i) == "AUTH")
                return true;
        }
    }
    return false;
}

// Whether the password was sent, as it stands or within any base64 word.
bool carriesPassword(const QByteArray& received)
{
    if (received.contains(kPassword.toUtf8()))
        return true;
    for (const QByteArray& word : received.simplified().split(' ')) {
        const auto decoded = QByteArray::fromBase64Encoding(word, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded && decoded.decoded.contains(kPassword.toUtf8()))
            return true;
    }
    return false;
}

} // namespace

class TestStartTls : public QObject
{
    Q_OBJECT

private:
    QMap<QString, QString> m_host;
    std::unique_ptr<PassRigOn<MaildirBackend>> m_rig;

    QString host(const char* key) const { return m_host.value(QStringLiteral("ENROLIX_TEST_HOST_") + key); }
    void set(const QString& key, const QString& value) { m_rig->store.write(kProfile, key, value); }

private Q_SLOTS:
    void initTestCase()
    {
        const std::optional<QMap<QString, QString>> env = readEnvironmentFile("ENROLIX_TEST_HOST");
        QVERIFY2(env, "the test host of the fixture was not started (no ENROLIX_TEST_HOST file)");
        m_host = *env;
        if (!host("SKIP").isEmpty())
            QSKIP(qPrintable(QStringLiteral("no test host: ") + host("SKIP")));
        QVERIFY(!host("ADDRESS").isEmpty());
    }

    void init()
    {
        m_rig = std::make_unique<PassRigOn<MaildirBackend>>();
        set(SettingsKeys::kMailUser, QStringLiteral("ann"));
        set(SettingsKeys::kMailPassword, kPassword);
        set(SettingsKeys::kMailFrom,
            QStringLiteral("attendant-%1@example.com").arg(QCoreApplication::applicationPid()));
    }

    void cleanup() { m_rig.reset(); }

    // Which servers are this machine
    void isLoopback_followsTheHostOfTheAddress_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<bool>("loopback");
        QTest::newRow("127.0.0.1") << QByteArray("imap://127.0.0.1:143/INBOX") << true;
        QTest::newRow("elsewhere in 127/8") << QByteArray("smtp://127.45.6.254:25/host") << true;
        QTest::newRow("127 written short") << QByteArray("imap://127.1/INBOX") << true;
        QTest::newRow("localhost in capitals") << QByteArray("imap://LocalHost/INBOX") << true;
        QTest::newRow("::1") << QByteArray("smtp://[::1]:587/host") << true;
        QTest::newRow("::1 written out") << QByteArray("smtp://[0:0:0:0:0:0:0:1]:587/host") << true;
        QTest::newRow("IPv4-mapped loopback") << QByteArray("imap://[::ffff:127.0.0.1]/INBOX") << true;
        QTest::newRow("with a user in the address") << QByteArray("imap://ann@127.0.0.1/INBOX") << true;
        QTest::newRow("128.0.0.1") << QByteArray("imap://128.0.0.1/INBOX") << false;
        QTest::newRow("test host") << QByteArray("imap://198.18.0.2/INBOX") << false;
        QTest::newRow("name starting with 127") << QByteArray("imap://127.0.0.1.example.org/INBOX") << false;
        QTest::newRow("name starting with localhost") << QByteArray("imap://localhost.example.org/") << false;
        QTest::newRow("another IPv6 address") << QByteArray("smtp://[2001:db8::1]:587/host") << false;
        QTest::newRow("IPv4-mapped elsewhere") << QByteArray("imap://[::ffff:198.18.0.2]/INBOX") << false;
    }
    void isLoopback_followsTheHostOfTheAddress()
    {
        QFETCH(QByteArray, url);
        QFETCH(bool, loopback);
        QCOMPARE(CurlTransport::isLoopback(url), loopback);
    }

    // Servers without STARTTLS
    void pass_serverWithoutStartTls_signsOnOnlyWhereAllowed_data()
    {
        QTest::addColumn<bool>("imap");
        QTest::addColumn<bool>("viaLoopback");
        QTest::addColumn<bool>("tlsOff");
        QTest::addColumn<bool>("signsOn");
        QTest::newRow("IMAP on the test host") << true << false << false << false;
        QTest::newRow("IMAP on the test host, tls=off") << true << false << true << true;
        QTest::newRow("IMAP through loopback") << true << true << false << true;
        QTest::newRow("SMTP on the test host") << false << false << false << false;
        QTest::newRow("SMTP on the test host, tls=off") << false << false << true << true;
        QTest::newRow("SMTP through loopback") << false << true << false << true;
    }
    void pass_serverWithoutStartTls_signsOnOnlyWhereAllowed()
    {
        QFETCH(bool, imap);
        QFETCH(bool, viaLoopback);
        QFETCH(bool, tlsOff);
        QFETCH(bool, signsOn);
        const QString server =
            viaLoopback ? QStringLiteral("127.0.0.1:") + host(imap ? "LOOPBACK_IMAP_PORT" : "LOOPBACK_SMTP_PORT")
                        : host("ADDRESS") + (imap ? QStringLiteral(":143") : QStringLiteral(":587"));
        if (imap)
            set(SettingsKeys::kMailInbox, QStringLiteral("imap://%1/INBOX").arg(server));
        else
            set(SettingsKeys::kMailOutbox, QStringLiteral("smtp://%1").arg(server));
        if (tlsOff)
            set(SettingsKeys::kMailTls, QStringLiteral("off"));
        // A request in the Maildir inbox makes the pass send a reply.
        if (!imap)
            m_rig->mail.deliver(requestMail(Subjects::kRegister, QStringLiteral("E00001"), QStringLiteral("Bob"),
                                            QStringLiteral("bob@example.org")));
        ServerSide side(host(imap ? "IMAP_CAPTURE" : "SMTP_CAPTURE"), imap ? host("IMAP_LOG") : QString());
        side.mark();

        const PassReport report = m_rig->run();

        QTRY_VERIFY(side.connectionEnded());
        const QByteArray received = side.received();
        QVERIFY2(!received.isEmpty(), "the server received nothing");
        if (signsOn) {
            QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
            QVERIFY(hasSignOnCommand(received));
            QVERIFY(carriesPassword(received));
            QCOMPARE(report.replies, imap ? 0 : 1);
        } else {
            const QString reason = QStringLiteral("%1://%2: server offers no STARTTLS")
                                       .arg(imap ? QStringLiteral("imap") : QStringLiteral("smtp"), server);
            QVERIFY2(report.failure.startsWith(reason), qPrintable(report.failure));
            QCOMPARE(m_rig->listener.reasons, QStringList{report.failure});
            QVERIFY2(!hasSignOnCommand(received), received.constData());
            QVERIFY2(!carriesPassword(received), received.constData());
            QCOMPARE(report.replies, 0);
            QCOMPARE(m_rig->mail.unreadCount(), imap ? 0 : 1);
        }
    }

    void attendant_testHostWithoutStartTls_printsTheReason()
    {
        IniSettingsStore store;
        store.write(kProfile, SettingsKeys::kMailInbox, QStringLiteral("imap://%1/INBOX").arg(host("ADDRESS")));
        store.write(kProfile, SettingsKeys::kMailUser, QStringLiteral("ann"));
        store.write(kProfile, SettingsKeys::kMailPassword, kPassword);
        const ChildProcess::Ended attendant =
            ChildProcess::run(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        QCOMPARE(attendant.exitCode, 1);
        const QString printed = attendant.errText();
        const QString expected =
            QStringLiteral("pass: not connected: imap://%1:143: server offers no STARTTLS").arg(host("ADDRESS"));
        QVERIFY2(printed.startsWith(expected), qPrintable(printed));
        QCOMPARE(printed.count(QLatin1Char('\n')), 1);
    }
};

QTEST_GUILESS_MAIN(TestStartTls)
#include "test_starttls.moc"
