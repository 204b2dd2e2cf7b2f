// The IMAP and SMTP transports against the private Dovecot server and SMTP sink: TLS, sign-on
// failures, time limits, refused recipients, mails a dead pass left half handled, and the list
// of unread mails however long.
#include "ProfileMailSessionFactory.h"
#include "mail/ImapInbox.h"
#include "mail/ImapUnreadSearch.h"
#include "mail/InFlightJournal.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "platform/mail/CurlTransport.h"
#include "support/CurlTestClient.h"
#include "support/MailSamples.h"
#include "support/MemorySettingsStore.h"
#include "support/ServerBackend.h"
#include "support/SilentServer.h"
#include "support/TestFolders.h"
#include "support/Transcript.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

Q_DECLARE_METATYPE(Enrolix::SendResult)

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;

// Limits short enough that a silent server costs a test seconds.
TransportLimits shortLimits()
{
    TransportLimits limits;
    limits.connect = std::chrono::seconds(2);
    limits.silence = std::chrono::seconds(2);
    limits.troubleBudget = std::chrono::seconds(3);
    return limits;
}

// A loopback port that nothing listens on.
int deadPort()
{
    const SilentServer server;
    return server.port();
}

} // namespace

class TestMailServers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    std::unique_ptr<ServerBackend> m_backend;
    std::unique_ptr<MemorySettingsStore> m_store;

    std::unique_ptr<MailSession> signOn(const TransportLimits& limits = {})
    {
        ProfileMailSessionFactory factory(*m_store, limits);
        return factory.signOn(kProfile).session;
    }
    void set(const QString& key, const QString& value) { m_store->write(kProfile, key, value); }
    QString port(const char* name) const { return m_backend->value(QString::fromLatin1(name)); }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_backend = std::make_unique<ServerBackend>(m_folders->root());
        if (!m_backend->problem().isEmpty())
            QFAIL(qPrintable(m_backend->problem()));
        m_store = std::make_unique<MemorySettingsStore>();
        m_backend->configure(*m_store, kProfile);
    }

    void cleanup()
    {
        if (m_backend)
            m_backend->discardMail();
    }

    // Signing on
    void signOn_tls_data()
    {
        QTest::addColumn<QString>("inbox");
        QTest::addColumn<bool>("withCa");
        QTest::addColumn<bool>("signsOn");
        QTest::newRow("STARTTLS with ca_file") << "imap://127.0.0.1:{imap}/INBOX" << true << true;
        QTest::newRow("implicit TLS with ca_file") << "imaps://127.0.0.1:{imaps}/INBOX" << true << true;
        QTest::newRow("implicit TLS, folder left out") << "imaps://127.0.0.1:{imaps}" << true << true;
        QTest::newRow("STARTTLS, unknown authority") << "imap://127.0.0.1:{imap}/INBOX" << false << false;
        QTest::newRow("implicit TLS, unknown authority") << "imaps://127.0.0.1:{imaps}/INBOX" << false << false;
    }
    void signOn_tls()
    {
        QFETCH(QString, inbox);
        QFETCH(bool, withCa);
        QFETCH(bool, signsOn);
        set(SettingsKeys::kMailInbox, inbox.replace(QStringLiteral("{imaps}"), port("ENROLIX_IMAPS_PORT"))
                                          .replace(QStringLiteral("{imap}"), port("ENROLIX_IMAP_PORT")));
        if (!withCa)
            set(SettingsKeys::kMailCaFile, QString());
        m_backend->deliver(requestMail(QStringLiteral("Hello"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        const std::unique_ptr<MailSession> session = signOn();
        QCOMPARE(bool(session), signsOn);
        if (session) {
            QVERIFY(session->fetchUnread());
            QCOMPARE(session->count(), 1);
            QCOMPARE(session->read(0)->subject, QStringLiteral("Hello"));
            session->signOff();
        }
    }

    void signOn_wrongPassword_fails()
    {
        set(SettingsKeys::kMailPassword, QStringLiteral("wrong"));
        QVERIFY(!signOn());
    }

    void signOn_passwordCommand_suppliesPassword()
    {
        set(SettingsKeys::kMailPassword, QStringLiteral("wrong"));
        set(SettingsKeys::kMailPasswordCommand, QStringLiteral("echo secret"));
        QVERIFY(signOn());
        set(SettingsKeys::kMailPasswordCommand, QStringLiteral("exit 1"));
        QVERIFY(!signOn());
    }

    void signOn_deadPort_failsAtOnce()
    {
        set(SettingsKeys::kMailInbox, QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(deadPort()));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!signOn());
        QVERIFY(timer.elapsed() < 5000);
    }

    void signOn_silentServer_failsWithinItsLimits()
    {
        const SilentServer silent;
        QVERIFY(silent.port() > 0);
        set(SettingsKeys::kMailInbox, QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(silent.port()));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!signOn(shortLimits()));
        QVERIFY2(timer.elapsed() < 6000, qPrintable(QString::number(timer.elapsed())));
    }

    // Mails a pass did not finish
    void unfinishedMail_isUnreadAgainAtNextSignOn()
    {
        m_backend->deliver(requestMail(QStringLiteral("One"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        m_backend->deliver(requestMail(QStringLiteral("Two"), QStringLiteral("E00001"), QStringLiteral("Bob"),
                                       QStringLiteral("bob@example.org")));
        {
            std::unique_ptr<MailSession> session = signOn();
            QVERIFY(session);
            QVERIFY(session->fetchUnread());
            QCOMPARE(session->count(), 2);
            QVERIFY(session->read(0));
            QVERIFY(session->markRead(0));
            QVERIFY(session->read(1));
            // The program dies here: no mark, no sign-off.
        }
        QCOMPARE(m_backend->unreadCount(), 0);
        const InFlightJournal journal(m_backend->imapUrl(), m_backend->user());
        QCOMPARE(journal.pending().size(), 1);

        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session);
        QCOMPARE(m_backend->unreadCount(), 1);
        QVERIFY(session->fetchUnread());
        QCOMPARE(session->count(), 1);
        QCOMPARE(session->read(0)->subject, QStringLiteral("Two"));
        const QStringList pending = journal.pending();
        QCOMPARE(pending.size(), 1);
        QVERIFY(pending.first().endsWith(QStringLiteral(":2")));
    }

    void unfinishedMail_underAnotherSpellingOfTheInbox_isUnreadAgain_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("no folder") << "imap://127.0.0.1:%1/";
        QTest::newRow("no slash") << "imap://127.0.0.1:%1";
        QTest::newRow("inbox in lower case") << "IMAP://127.0.0.1:%1/inbox";
        QTest::newRow("trailing slash") << "imap://127.0.0.1:%1/INBOX/";
    }
    void unfinishedMail_underAnotherSpellingOfTheInbox_isUnreadAgain()
    {
        QFETCH(QString, spelling);
        m_backend->deliver(requestMail(QStringLiteral("One"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        {
            std::unique_ptr<MailSession> session = signOn();
            QVERIFY(session && session->fetchUnread() && session->read(0));
            // The program dies here, after the fetch marked the mail read on the server.
        }
        QCOMPARE(m_backend->unreadCount(), 0);
        set(SettingsKeys::kMailInbox, spelling.arg(port("ENROLIX_IMAP_PORT")));
        QVERIFY(signOn());
        QCOMPARE(m_backend->unreadCount(), 1);
    }

    void canonicalFolder_writesEveryInboxOneWay_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("as written") << "imap://mail.example.org:143/INBOX"
                                    << QByteArray("imap://mail.example.org:143/INBOX");
        QTest::newRow("default port") << "imap://mail.example.org/INBOX"
                                      << QByteArray("imap://mail.example.org:143/INBOX");
        QTest::newRow("implicit TLS port")
            << "imaps://Mail.Example.ORG/" << QByteArray("imaps://mail.example.org:993/INBOX");
        QTest::newRow("other folder keeps its case")
            << "imap://h:1/Courses/Sign-ups" << QByteArray("imap://h:1/Courses/Sign-ups");
        QTest::newRow("user in the address") << "imap://ann@h:1/inbox" << QByteArray("imap://h:1/INBOX");
    }
    void canonicalFolder_writesEveryInboxOneWay()
    {
        QFETCH(QString, location);
        QFETCH(QByteArray, folder);
        QCOMPARE(ImapInbox::canonicalFolder(location), folder);
    }

    void journalOfARecreatedFolder_isDropped()
    {
        m_backend->deliver(requestMail(QStringLiteral("One"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        {
            std::unique_ptr<MailSession> session = signOn();
            QVERIFY(session && session->fetchUnread() && session->read(0) && session->markRead(0));
        }
        // UID 1 of a folder of another UIDVALIDITY is another message.
        InFlightJournal journal(m_backend->imapUrl(), m_backend->user());
        QVERIFY(journal.add({QStringLiteral("1:1")}));
        QVERIFY(signOn());
        QCOMPARE(m_backend->unreadCount(), 0);
        QVERIFY(journal.pending().isEmpty());
    }

    void leaveUnread_afterRead_keepsMailUnread()
    {
        m_backend->deliver(requestMail(QStringLiteral("One"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session && session->fetchUnread());
        QVERIFY(session->read(0));
        session->leaveUnread(0);
        session->signOff();
        QCOMPARE(m_backend->unreadCount(), 1);
        QVERIFY(InFlightJournal(m_backend->imapUrl(), m_backend->user()).pending().isEmpty());
    }

    // The unread mails, however many
    void unreadSearch_findsEveryUnreadMailInOrder_data()
    {
        QTest::addColumn<int>("mails");
        // Every other mail read first, so that the unread UIDs make no runs.
        QTest::addColumn<bool>("everyOtherRead");
        QTest::addColumn<bool>("extended");
        for (const bool extended : {true, false}) {
            const char* kind = extended ? "ESEARCH" : "plain";
            QTest::addRow("%s, empty folder", kind) << 0 << false << extended;
            QTest::addRow("%s, one mail", kind) << 1 << false << extended;
            // A plain search asks for 819 UIDs of four digits at a time.
            QTest::addRow("%s, two whole ranges", kind) << 1638 << false << extended;
            QTest::addRow("%s, two ranges and one UID", kind) << 1639 << false << extended;
            // The UIDs of an answer to the whole folder would make a line of 20 KB.
            QTest::addRow("%s, 4000 unread among 8000", kind) << 8000 << true << extended;
        }
    }
    void unreadSearch_findsEveryUnreadMailInOrder()
    {
        QFETCH(int, mails);
        QFETCH(bool, everyOtherRead);
        QFETCH(bool, extended);
        QList<QByteArray> raws;
        for (int i = 1; i <= mails; ++i)
            raws.append(requestMail(QStringLiteral("Mail %1").arg(i), {}, QStringLiteral("Ann"),
                                    QStringLiteral("ann@example.org")));
        QVERIFY(m_backend->deliverAll(raws));
        const QByteArray url = ImapInbox::canonicalFolder(m_backend->imapUrl());
        QList<qulonglong> expected;
        QByteArrayList read;
        for (int uid = 1; uid <= mails; ++uid) {
            if (everyOtherRead && uid % 2 == 0)
                read.append(QByteArray::number(uid));
            else
                expected.append(uid);
        }
        CurlTestClient other(port("ENROLIX_MAIL_CA"), m_backend->user());
        for (qsizetype at = 0; at < read.size(); at += 500)
            QVERIFY(other.request(
                url, ("UID STORE " + read.mid(at, 500).join(',') + " +FLAGS.SILENT (\\Seen)").constData()));

        const MailProfile profile = MailProfile::read(*m_store, kProfile, {});
        CurlTransport transport(profile, QStringLiteral("secret"), {}, nullptr);
        QVERIFY(transport.request(url, "NOOP"));
        ImapUnreadSearch::Folder folder = ImapUnreadSearch::Folder::of(transport.headers());
        QVERIFY(folder.extendedSearch);
        folder.extendedSearch = extended;
        ImapUnreadSearch search(transport, url);
        QCOMPARE(search.run(folder), std::optional<QList<qulonglong>>(expected));
        QVERIFY2(search.failure().isEmpty(), qPrintable(search.failure()));
    }

    void fetch_keepsHostileBodyIntact()
    {
        // Lines that look like the protocol's own and a long line, in an attachment of several MiB
        // ahead of the text: the reader keeps only the start of a text, and this one arrives
        // whole only when the whole message does.
        QByteArray bulk = "A005 OK done\r\n* 3 FETCH (FLAGS (\\Seen))\r\n" + QByteArray(5000, 'y') + "\r\n";
        while (bulk.size() < 2 * 1024 * 1024)
            bulk += "A006 BAD line that starts like a tag\r\n";
        const QString text = QStringLiteral("E00001\r\nA007 OK done\r\n* 4 FETCH (FLAGS (\\Seen))\r\n") +
                             QString(5000, QLatin1Char('z')) + QStringLiteral("\r\n");
        m_backend->deliver("From: Ann <ann@example.org>\r\nTo: registrations@example.com\r\nSubject: Big\r\n"
                           "Message-ID: <big@example.net>\r\nMIME-Version: 1.0\r\n"
                           "Content-Type: multipart/mixed; boundary=\"part\"\r\n\r\n--part\r\n"
                           "Content-Type: text/plain\r\nContent-Disposition: attachment\r\n\r\n" +
                           bulk + "\r\n--part\r\nContent-Type: text/plain\r\n\r\n" + text.toUtf8() +
                           "\r\n--part--\r\n");
        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session && session->fetchUnread());
        const std::optional<IncomingMail> mail = session->read(0);
        QVERIFY(mail);
        QCOMPARE(mail->text.size(), text.size());
        QVERIFY(mail->text == text);
    }

    void fetchMany_largeLongLinedAndHostileMails_arriveWholeAndTheConnectionStaysInStep()
    {
        const auto mail = [](int i, const QByteArray& body) {
            return "From: Person " + QByteArray::number(i) + " <p" + QByteArray::number(i) +
                   "@example.org>\r\nSubject: Mail " + QByteArray::number(i) + "\r\n\r\n" + body;
        };
        QByteArray large;
        while (large.size() <= MailTransport::kWholeLiteral)
            large += QByteArray(76, 'L') + "\r\n";
        // Every completion libcurl could be waiting for; the answer ends early at one of them.
        QByteArray hostile;
        for (int tag = 0; tag < 1000; ++tag)
            hostile += 'A' + QByteArray::number(tag).rightJustified(3, '0') + " OK Fetch completed\r\n";
        const QList<QByteArray> raws{
            mail(1, "E00001\r\n"), mail(2, large),        mail(3, QByteArray(30000, 'W') + "\r\n"),
            mail(4, hostile),      mail(5, "E00005\r\n"), mail(6, "E00006\r\n")};
        m_backend->deliver(raws);
        const MailProfile profile = MailProfile::read(*m_store, kProfile, {});
        const QString transcript = m_folders->root() + QStringLiteral("fetch.transcript");
        {
            ImapInbox inbox(profile, std::make_unique<RecordingTransport>(
                                         std::make_unique<CurlTransport>(profile, QStringLiteral("secret"),
                                                                         TransportLimits{}, nullptr),
                                         transcript));
            QVERIFY(inbox.open());
            const std::optional<QStringList> ids = inbox.unread();
            QVERIFY(ids && ids->size() == 6);
            const QList<std::optional<QByteArray>> fetched = inbox.fetchMany(*ids);
            QCOMPARE(fetched.size(), 6);
            for (int i = 0; i < 6; ++i)
                QVERIFY2(fetched.at(i) == raws.at(i), qPrintable(QString::number(i + 1)));
            // The connection after the hostile answer is in step with the server.
            QCOMPARE(inbox.fetch(ids->first()), std::optional<QByteArray>(raws.first()));
            inbox.close();
        }
        QCOMPARE(m_backend->unreadCount(), 6);
        QStringList requests;
        for (const Exchange& exchange : Transcript::read(transcript))
            requests << QString::fromLatin1(exchange.url + ' ' + exchange.command).trimmed();
        // One request for all; alone only the one too long for it and those after the hostile one.
        const qsizetype batch =
            requests.indexOf(QStringLiteral("/INBOX UID FETCH 1:6 (BODY[]<0.%1>)").arg(MailTransport::kWholeLiteral));
        QVERIFY2(batch >= 0, qPrintable(requests.join(QLatin1Char('\n'))));
        QCOMPARE(
            requests.mid(batch + 1, 5),
            QStringList({QStringLiteral("/INBOX;UID=2"), QStringLiteral("/INBOX;UID=4"), QStringLiteral("/INBOX;UID=5"),
                         QStringLiteral("/INBOX;UID=6"), QStringLiteral("/INBOX;UID=1")}));
    }

    // Sending
    void send_resultFollowsTheServersAnswer_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("implicitTls");
        QTest::newRow("accepted") << "ann@example.org" << SendResult::Sent << 1 << false;
        QTest::newRow("accepted over implicit TLS") << "ann@example.org" << SendResult::Sent << 1 << true;
        QTest::newRow("refused for good") << "ann@refused.test" << SendResult::Refused << 0 << false;
        QTest::newRow("deferred") << "ann@deferred.test" << SendResult::Deferred << 0 << false;
    }
    void send_resultFollowsTheServersAnswer()
    {
        QFETCH(QString, address);
        QFETCH(SendResult, result);
        QFETCH(int, stored);
        QFETCH(bool, implicitTls);
        if (implicitTls)
            set(SettingsKeys::kMailOutbox, QStringLiteral("smtps://127.0.0.1:") + port("ENROLIX_SMTPS_PORT"));
        m_backend->deliver(
            requestMail(QStringLiteral("Hello"), QStringLiteral("E00001"), QStringLiteral("Ann"), address));
        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session && session->fetchUnread() && session->read(0));
        QCOMPARE(session->sendReply(0, address, QStringLiteral("Ann"), QStringLiteral("S"), QStringLiteral("T")),
                 result);
        QCOMPARE(int(m_backend->replies().size()), stored);
    }

    void send_deadSmtpServer_isUnavailable()
    {
        set(SettingsKeys::kMailOutbox, QStringLiteral("smtp://127.0.0.1:%1").arg(deadPort()));
        m_backend->deliver(requestMail(QStringLiteral("Hello"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                       QStringLiteral("ann@example.org")));
        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session && session->fetchUnread() && session->read(0));
        QCOMPARE(session->sendReply(0, QStringLiteral("ann@example.org"), QStringLiteral("Ann"), QStringLiteral("S"),
                                    QStringLiteral("T")),
                 SendResult::Unavailable);
        QVERIFY2(session->failure().contains(QStringLiteral("host unreachable")), qPrintable(session->failure()));
    }

    void send_silentSmtpServer_costsOneTimeLimitPerPass()
    {
        const SilentServer silent;
        set(SettingsKeys::kMailOutbox, QStringLiteral("smtp://127.0.0.1:%1").arg(silent.port()));
        for (int i = 0; i < 3; ++i)
            m_backend->deliver(requestMail(QStringLiteral("Hello"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                           QStringLiteral("ann@example.org")));
        std::unique_ptr<MailSession> session = signOn(shortLimits());
        QVERIFY(session && session->fetchUnread());
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(session->read(i));
            QCOMPARE(session->sendReply(i, QStringLiteral("ann@example.org"), QStringLiteral("Ann"),
                                        QStringLiteral("S"), QStringLiteral("T")),
                     SendResult::Unavailable);
            session->leaveUnread(i);
        }
        QVERIFY2(timer.elapsed() < 6000, qPrintable(QString::number(timer.elapsed())));
        session->signOff();
        QCOMPARE(m_backend->unreadCount(), 3);
    }

    void send_severalReplies_arriveWhole()
    {
        for (int i = 0; i < 3; ++i)
            m_backend->deliver(requestMail(QStringLiteral("Hello"), QStringLiteral("E00001"), QStringLiteral("Ann"),
                                           QStringLiteral("ann@example.org")));
        std::unique_ptr<MailSession> session = signOn();
        QVERIFY(session && session->fetchUnread());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(session->read(i));
            QCOMPARE(session->sendReply(i, QStringLiteral("ann@example.org"), QStringLiteral("Zoë"),
                                        QStringLiteral("Reply %1").arg(i), QStringLiteral(".\r\n.. dots\r\n")),
                     SendResult::Sent);
        }
        const QList<QByteArray> replies = m_backend->replies();
        QCOMPARE(replies.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(recipientOf(replies.at(i)).name, QStringLiteral("Zoë"));
            QCOMPARE(headerOf(replies.at(i), "Subject"), QStringLiteral("Reply %1").arg(i).toUtf8());
            QVERIFY(replies.at(i).endsWith("\r\n.\r\n.. dots\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestMailServers)
#include "test_mailservers.moc"
