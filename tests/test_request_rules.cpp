// The attendant's request rules end to end, in a real mailbox: the valve on the replies to one
// sender against a responder that answers every reply, the attendee list under each rule, and
// cancellations from another address. Built twice: against Maildir folders, and (with
// ENROLIX_PASS_ON_SERVERS) against the Dovecot server and the SMTP sink of the test fixture.
#include "attendant/AttendantService.h"
#include "events/RequestSubjects.h"
#include "mail/MimeReader.h"
#include "settings/SettingsKeys.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/SelectedBackend.h"

#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

using RequestProtocol::kAttendeeListSubject;
using RequestProtocol::kCancelSubject;
using RequestProtocol::kRegisterSubject;

const QString kEvent = QStringLiteral("E00012");
const QString kCoordinator = QStringLiteral("coordinator@example.com");

} // namespace

class TestRequestRules : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PassRigOn<Backend>> m_run;
    qsizetype m_seen{0};

    void createEvent(const QString& event, const QByteArray& list, const QByteArray& addresses)
    {
        const OpenEvent files = OpenEvent::create(m_run->folders, event, list, "Safety course\r\nMay 4, 2027\r\n");
        TestFolders::write(files.addressPath(), addresses);
    }

    // The list and the addresses beside it.
    QByteArray lists(const QString& event = kEvent) const
    {
        const OpenEvent files(m_run->folders, event);
        return files.list() + "|" + TestFolders::read(files.addressPath());
    }

    // The replies that arrived since the last call, oldest first.
    QList<QByteArray> newReplies()
    {
        const QList<QByteArray> all = m_run->mail.replies();
        const QList<QByteArray> fresh = all.mid(m_seen);
        m_seen = all.size();
        return fresh;
    }

    void setRule(const QString& key, const QString& value)
    {
        MemorySettingsStore store;
        store.write(SettingsKeys::kAttendant, key, value);
        m_run->settings.attendant = AttendantRules::load(store);
    }

    IncomingMail onlyReplyTo(const QString& address)
    {
        const QList<QByteArray> replies = newReplies();
        if (replies.size() != 1)
            return {};
        if (recipientOf(replies.first()).address != address)
            return {};
        return MimeReader::read(replies.first());
    }

private Q_SLOTS:
    void init()
    {
        m_run = std::make_unique<PassRigOn<Backend>>();
        m_seen = 0;
        if (!m_run->mail.problem().isEmpty())
            QFAIL(qPrintable(m_run->mail.problem()));
        m_run->settings.Training_Coordinator_Email_Address = QStringLiteral(" ") + kCoordinator;
    }

    void cleanup() { m_run.reset(); }

    // A responder that answers every mail, its answers not marked as automatic
    void loopingResponder_isHeldBackByTheValve_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("replies");
        QTest::newRow("the default") << QString() << 20;
        QTest::newRow("valve off") << "0" << 24;
    }
    void loopingResponder_isHeldBackByTheValve()
    {
        QFETCH(QString, limit);
        QFETCH(int, replies);
        constexpr int kRounds = 24;
        if (!limit.isNull())
            setRule(SettingsKeys::kMaxRepliesPerSender, limit);
        createEvent(kEvent, "Bob\r\n", "Bob\tbob@example.org\r\n");
        m_run->mail.deliver(requestMail(kRegisterSubject, kEvent, QStringLiteral("Auto Responder"),
                                        QStringLiteral("auto@example.net")));
        int sent = 0;
        QByteArray listsWhenHeld;
        for (int round = 0; round < kRounds; ++round) {
            const PassReport report = m_run->run();
            const QList<QByteArray> fresh = newReplies();
            QCOMPARE(report.replies, int(fresh.size()));
            sent += report.replies;
            if (report.passedOver > 0) {
                // Held back: the request is read, answered by nobody, and named in the log.
                QCOMPARE(sent, replies);
                QCOMPARE(report.passedOver, 1);
                QCOMPARE(AttendantService::logLine(report),
                         QStringLiteral("pass: 0 replies sent, 1 passed over, 0 left for a later pass (reply limit "
                                        "reached: Auto@Example.NET)"));
                listsWhenHeld = lists();
            }
            // The responder answers each reply with the registration again, from its address in
            // another case, quoting the reply.
            for (const QByteArray& raw : fresh) {
                QCOMPARE(recipientOf(raw).address.toLower(), QStringLiteral("auto@example.net"));
                m_run->mail.deliver(requestMail(kRegisterSubject, kEvent + "\r\n\r\n> " + MimeReader::read(raw).subject,
                                                QStringLiteral("Auto Responder"), QStringLiteral("Auto@Example.NET")));
            }
        }
        QCOMPARE(sent, replies);
        QCOMPARE(m_run->mail.unreadCount(), limit == QStringLiteral("0") ? 1 : 0);
        QCOMPARE(lists(),
                 QByteArray("Bob\r\nAuto Responder\r\n|Bob\tbob@example.org\r\nAuto Responder\tauto@example.net\r\n"));
        QCOMPARE(listsWhenHeld.isEmpty(), limit == QStringLiteral("0"));
        if (!listsWhenHeld.isEmpty())
            QCOMPARE(lists(), listsWhenHeld);
    }

    // Who gets the attendee list
    void attendeeList_goesToWhomTheRuleNames_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("refusal");
        const QString stranger = QStringLiteral("mallory@example.net");
        const QString registered = QStringLiteral("ANN@example.org");
        // Signed up for another event only.
        const QString elsewhere = QStringLiteral("carl@example.org");
        const QString coordinator = QStringLiteral("Coordinator@Example.com");
        const QString onlyRegistered = QStringLiteral("Your request for the attendee list of event E00012 could not be "
                                                      "processed.  The list is sent to registered participants only.");
        const QString onlyCoordinator =
            QStringLiteral("Your request for the attendee list of event E00012 could not be "
                           "processed.  The list is sent to the training coordinator only.");
        QTest::newRow("anyone: stranger") << "anyone" << stranger << QString();
        QTest::newRow("anyone: registered") << "anyone" << registered << QString();
        QTest::newRow("anyone: coordinator") << "anyone" << coordinator << QString();
        QTest::newRow("registered: stranger") << "registered" << stranger << onlyRegistered;
        QTest::newRow("registered: registered") << "registered" << registered << QString();
        QTest::newRow("registered: other event") << "registered" << elsewhere << onlyRegistered;
        QTest::newRow("registered: coordinator") << "registered" << coordinator << onlyRegistered;
        QTest::newRow("coordinator: stranger") << "coordinator" << stranger << onlyCoordinator;
        QTest::newRow("coordinator: registered") << "coordinator" << registered << onlyCoordinator;
        QTest::newRow("coordinator: coordinator") << "coordinator" << coordinator << QString();
    }
    void attendeeList_goesToWhomTheRuleNames()
    {
        QFETCH(QString, rule);
        QFETCH(QString, sender);
        QFETCH(QString, refusal);
        setRule(SettingsKeys::kAttendeeListFor, rule);
        createEvent(kEvent, "Ann\r\nOld\r\n", "Ann\tann@example.org\r\n");
        createEvent(QStringLiteral("E00013"), "Carl\r\n", "Carl\tcarl@example.org\r\n");
        m_run->mail.deliver(requestMail(kAttendeeListSubject, kEvent, QStringLiteral("Someone"), sender));
        m_run->run();
        const IncomingMail reply = onlyReplyTo(sender);
        if (refusal.isEmpty()) {
            QCOMPARE(reply.subject, QStringLiteral("Request for Attendees"));
            QVERIFY(reply.text.startsWith(QStringLiteral("Current sign-up list for E00012:\r\n\r\nAnn\r\nOld\r\n")));
        } else {
            QCOMPARE(reply.subject, QStringLiteral("Request Not Processed"));
            QCOMPARE(reply.text, refusal + QStringLiteral("\r\n"));
        }
        QCOMPARE(lists(), QByteArray("Ann\r\nOld\r\n|Ann\tann@example.org\r\n"));
        QCOMPARE(m_run->mail.unreadCount(), 0);
    }

    // Cancellations from another address than the name registered with
    void cancellation_fromAnotherAddress_data()
    {
        QTest::addColumn<bool>("onlyFromRegistering");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QByteArray>("listsAfter");
        QTest::addColumn<bool>("refused");
        const QByteArray annGone = "Old\r\n|";
        QTest::newRow("off: another address") << false << "Ann"
                                              << "mallory@example.net" << annGone << false;
        QTest::newRow("on: another address")
            << true << "Ann"
            << "mallory@example.net" << QByteArray("Ann\r\nOld\r\n|Ann\tann@example.org\r\n") << true;
        QTest::newRow("on: same address in another case") << true << "Ann"
                                                          << "Ann@Example.ORG" << annGone << false;
        QTest::newRow("on: no address recorded")
            << true << "Old"
            << "mallory@example.net" << QByteArray("Ann\r\n|Ann\tann@example.org\r\n") << false;
    }
    void cancellation_fromAnotherAddress()
    {
        QFETCH(bool, onlyFromRegistering);
        QFETCH(QString, name);
        QFETCH(QString, sender);
        QFETCH(QByteArray, listsAfter);
        QFETCH(bool, refused);
        setRule(SettingsKeys::kCancelOnlyFromRegisteringAddress,
                onlyFromRegistering ? QStringLiteral("true") : QStringLiteral("false"));
        createEvent(kEvent, "Ann\r\nOld\r\n", "Ann\tann@example.org\r\n");
        m_run->mail.deliver(requestMail(kCancelSubject, kEvent, name, sender));
        m_run->run();
        QCOMPARE(lists(), listsAfter);
        const IncomingMail reply = onlyReplyTo(sender);
        if (refused) {
            QCOMPARE(reply.subject, QStringLiteral("Cancellation Request Not Processed"));
            QCOMPARE(reply.text, QStringLiteral("Your request to be removed from event E00012 could not be processed.  "
                                                "Please send it from the address you registered with.\r\n"));
        } else {
            QCOMPARE(reply.subject, QStringLiteral("Cancellation Request Processed"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRequestRules)
#include "test_request_rules.moc"
