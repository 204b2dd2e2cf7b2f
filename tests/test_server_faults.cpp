// Passes against the fixture's Dovecot server and SMTP sink seen through a loopback proxy that
// misbehaves for real: silent at a command, trickling, refusing service, stalling or cutting one of
// the connections, or a server out of room. Every such pass ends within its time limits, says why
// it failed, changes no list it cannot answer, and the next pass answers every request with the
// reply of its first attempt. A server far away is no fault: passes and notifications through a
// proxy that answers every command after a second complete with the limits a pass really has.
#include "events/EventFiles.h"
#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/Notifier.h"
#include "mail/ProfileKeys.h"
#include "platform/TextFiles.h"
#include "support/ClosedEventFiles.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"
#include "support/Subjects.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <chrono>
#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;
using namespace Enrolix::Testing::Subjects;
using namespace std::chrono_literals;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;
// A server that answers every command after a second.
const QStringList kOneSecondAway{QStringLiteral("--delay-ms"), QStringLiteral("500")};

// Limits a tenth of the real ones, so a silent server costs the test seconds, not minutes.
TransportLimits shortLimits()
{
    TransportLimits limits;
    limits.connect = 2s;
    limits.silence = 2s;
    limits.grace = 500ms;
    limits.troubleBudget = 3s;
    return limits;
}

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PassRigOn<ServerBackend>> m_rig;
    const QStringList m_people{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")};

    int port(const char* name) const { return m_rig->mail.value(QString::fromLatin1(name)).toInt(); }
    void useInboxPort(int imapPort)
    {
        m_rig->store.write(kProfile, SettingsKeys::kMailInbox,
                           QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(imapPort));
    }
    void useOutboxPort(int smtpPort)
    {
        m_rig->store.write(kProfile, SettingsKeys::kMailOutbox, QStringLiteral("smtp://127.0.0.1:%1").arg(smtpPort));
    }
    // In plain text, so the proxy sees the commands it waits for.
    void withoutTls() { m_rig->store.write(kProfile, SettingsKeys::kMailTls, QStringLiteral("off")); }

    struct Timed
    {
        PassReport report;
        qint64 ms;
    };
    Timed runPass(const TransportLimits& limits = {})
    {
        m_rig->setLimits(limits);
        QElapsedTimer timer;
        timer.start();
        const PassReport report = m_rig->run();
        return {report, timer.elapsed()};
    }

    QString list() const { return QString::fromUtf8(OpenEvent(m_rig->folders, QStringLiteral("E00001")).list()); }

    // Once the fault is over, a pass under the same addresses answers everyone, each once, with
    // the reply of a first registration, and the list holds each name once, in mailbox order.
    void expectEveryoneAnsweredOnceAfterwards() { expectAnsweredOnceAfterwards(m_people); }
    void expectAnsweredOnceAfterwards(const QStringList& people)
    {
        const Timed repair = runPass();
        QVERIFY2(repair.report.failure.isEmpty(), qPrintable(repair.report.failure));
        QCOMPARE(m_rig->mail.unreadCount(), 0);
        QCOMPARE(m_rig->mail.replySubjects(), QStringList(people.size(), kRegistered));
        QStringList recipients;
        for (const QByteArray& raw : m_rig->mail.replies())
            recipients << recipientOf(raw).name;
        recipients.sort();
        QStringList sorted = people;
        sorted.sort();
        QCOMPARE(recipients, sorted);
        QCOMPARE(list(), people.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<PassRigOn<ServerBackend>>();
        QVERIFY2(m_rig->mail.problem().isEmpty(), qPrintable(m_rig->mail.problem()));
        OpenEvent::create(m_rig->folders, QStringLiteral("E00001"));
        for (const QString& name : m_people)
            m_rig->mail.deliver(requestMail(kRegister, QStringLiteral("E00001"), name,
                                            name.toLower() + QStringLiteral("@example.org")));
    }

    void cleanup() { m_rig.reset(); }

    // Slow and silent servers, with the limits a pass really has
    void imapSilentAtSelect_passEndsWithin30Seconds()
    {
        FaultProxy proxy(port("ENROLIX_IMAP_PORT"), {QStringLiteral("--silent-after"), QStringLiteral("SELECT")});
        QVERIFY(proxy.port());
        useInboxPort(proxy.port());
        withoutTls();
        const Timed timed = runPass();
        QVERIFY2(timed.ms < 30000, qPrintable(QString::number(timed.ms)));
        QVERIFY(!timed.report.connected);
        QVERIFY2(timed.report.failure.contains(QStringLiteral("did not answer in time")),
                 qPrintable(timed.report.failure));
        QCOMPARE(list(), QString());
        proxy.heal();
        expectEveryoneAnsweredOnceAfterwards();
    }

    void imapTricklingFromTheStart_passEndsWithin30Seconds()
    {
        FaultProxy proxy(port("ENROLIX_IMAP_PORT"), {QStringLiteral("--trickle"), QStringLiteral("4")});
        QVERIFY(proxy.port());
        useInboxPort(proxy.port());
        const Timed timed = runPass();
        QVERIFY2(timed.ms < 30000, qPrintable(QString::number(timed.ms)));
        QVERIFY(!timed.report.failure.isEmpty());
        proxy.heal();
        expectEveryoneAnsweredOnceAfterwards();
    }

    // The same faults part-way through a pass, with short limits
    void fault_partWay_endsWithinTheLimitsAndIsRepaired_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");
        QTest::newRow("IMAP trickles after the first fetch")
            << "ENROLIX_IMAP_PORT" << QStringList{"--trickle", "4", "--trickle-after", "FETCH 2"} << "imap://";
        QTest::newRow("IMAP silent after the first fetch")
            << "ENROLIX_IMAP_PORT" << QStringList{"--silent-after", "FETCH 2"} << "did not answer in time";
        QTest::newRow("SMTP silent after DATA")
            << "ENROLIX_SMTP_PORT" << QStringList{"--silent-after", "DATA"} << "did not answer in time";
        QTest::newRow("SMTP trickles after MAIL")
            << "ENROLIX_SMTP_PORT" << QStringList{"--trickle", "4", "--trickle-after", "MAIL FROM"} << "smtp://";
        QTest::newRow("SMTP refuses service on connect")
            << "ENROLIX_SMTP_PORT" << QStringList{"--greet", "421 4.3.2 Service not available"} << "421";
        QTest::newRow("SMTP silent at QUIT") << "ENROLIX_SMTP_PORT" << QStringList{"--silent-after", "QUIT"} << "";
    }
    void fault_partWay_endsWithinTheLimitsAndIsRepaired()
    {
        QFETCH(QString, server);
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        FaultProxy proxy(port(qPrintable(server)), options);
        QVERIFY(proxy.port());
        if (server == QLatin1String("ENROLIX_IMAP_PORT"))
            useInboxPort(proxy.port());
        else
            useOutboxPort(proxy.port());
        withoutTls();
        const TransportLimits limits = shortLimits();
        const Timed timed = runPass(limits);
        // The troubled time, a connection's goodbye of at most a second each, and the rest.
        QVERIFY2(timed.ms < 9000, qPrintable(QString::number(timed.ms)));
        QVERIFY2(timed.report.failure.contains(reason), qPrintable(timed.report.failure));
        if (!reason.isEmpty())
            QCOMPARE(timed.report.replies, server == QLatin1String("ENROLIX_IMAP_PORT") ? 1 : 0);
        proxy.heal();
        expectEveryoneAnsweredOnceAfterwards();
    }

    // One of several SMTP connections in trouble while the others send
    void oneConnectionStalledOrCutMidMessage_othersSendAndItsMailWaitsForTheNextPass_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("stalled") << "--stall-after";
        QTest::newRow("cut") << "--cut-after";
    }
    void oneConnectionStalledOrCutMidMessage_othersSendAndItsMailWaitsForTheNextPass()
    {
        QFETCH(QString, fault);
        const QStringList people =
            m_people + QStringList{QStringLiteral("Dora"), QStringLiteral("Eve"), QStringLiteral("Finn")};
        for (const QString& name : people.mid(m_people.size()))
            m_rig->mail.deliver(requestMail(kRegister, QStringLiteral("E00001"), name,
                                            name.toLower() + QStringLiteral("@example.org")));
        // In the middle of the message to Dora, after its envelope.
        FaultProxy proxy(port("ENROLIX_SMTP_PORT"), {fault, QStringLiteral("To: Dora")});
        QVERIFY(proxy.port());
        useOutboxPort(proxy.port());
        withoutTls();
        m_rig->store.write(kProfile, SettingsKeys::kMailSmtpConnections, QStringLiteral("3"));
        const Timed timed = runPass(shortLimits());
        QVERIFY2(timed.ms < 9000, qPrintable(QString::number(timed.ms)));
        QVERIFY2(timed.report.failure.isEmpty(), qPrintable(timed.report.failure));
        QCOMPARE(timed.report.replies, 5);
        QCOMPARE(timed.report.leftForLater, 1);
        QCOMPARE(m_rig->mail.unreadCount(), 1);
        proxy.heal();
        expectAnsweredOnceAfterwards(people);
    }

    // A server far away
    void distantServer_passOfFiftyRequests_answersAllWithoutAConnectionFailure()
    {
        FaultProxy imap(port("ENROLIX_IMAP_PORT"), kOneSecondAway);
        FaultProxy smtp(port("ENROLIX_SMTP_PORT"), kOneSecondAway);
        QVERIFY(imap.port() && smtp.port());
        useInboxPort(imap.port());
        useOutboxPort(smtp.port());
        QStringList people = m_people;
        QList<QByteArray> raws;
        for (int i = int(people.size()) + 1; i <= 50; ++i) {
            people << QStringLiteral("Person %1").arg(i);
            raws << requestMail(kRegister, QStringLiteral("E00001"), people.last(),
                                QStringLiteral("p%1@example.org").arg(i));
        }
        QVERIFY(m_rig->mail.deliverAll(raws));
        const Timed timed = runPass();
        QVERIFY2(timed.report.failure.isEmpty(), qPrintable(timed.report.failure));
        QCOMPARE(timed.report.replies, 50);
        QCOMPARE(m_rig->mail.unreadCount(), 0);
        QCOMPARE(list(), people.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->mail.replies().size(), 50, 10000);
    }

    void distantServer_notificationsOfADraw_allGoOut()
    {
        FaultProxy smtp(port("ENROLIX_SMTP_PORT"), kOneSecondAway);
        QVERIFY(smtp.port());
        useOutboxPort(smtp.port());
        // Four commands a mail: the budget of troubled time would run out several times over.
        QStringList names;
        QStringList addresses;
        for (int i = 1; i <= 10; ++i) {
            names << QStringLiteral("Person %1").arg(i);
            addresses << QStringLiteral("p%1@example.org").arg(i);
        }
        writeClosedEvent(m_rig->folders, QStringLiteral("E00009"), names, addresses);
        FileResult failure;
        const std::optional<ClosedEvent> closed =
            ClosedEvent::load(EventFiles(m_rig->settings), QStringLiteral("E00009"), failure);
        QVERIFY(closed);
        const DrawRecord draw = DrawRecord::make(*closed, QStringLiteral("key"), 4, QDateTime::currentDateTimeUtc());
        QVERIFY(TextFiles::writeWhole(closed->drawPath, draw.text()).ok());
        const NotifyOutcome outcome = Notifier(m_rig->sessions(), m_rig->settings).send(*closed, draw);
        QVERIFY2(outcome.kind == NotifyOutcome::Kind::Done, qPrintable(outcome.reason));
        QCOMPARE(outcome.invitations + outcome.waiting, 10);
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->mail.replies().size(), 10, 10000);
    }

    // A server out of room
    void smtpOutOfRoomForARecipient_defersAndAnswersExactlyLater()
    {
        const QString full = m_rig->mail.value(QStringLiteral("ENROLIX_SINK_DIR")) + QLatin1Char('/') +
                             m_rig->mail.from().toLower() + QStringLiteral(".full");
        QFile marker(full);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        const Timed deferred = runPass();
        QFile::remove(full);
        // Each recipient may yet have room: the pass goes on, and every change waits for its reply.
        QCOMPARE(deferred.report.leftForLater, 3);
        QVERIFY(deferred.report.failure.isEmpty());
        QCOMPARE(list(), QStringLiteral("Ann\r\nBob\r\nCarl\r\n"));
        QCOMPARE(m_rig->mail.unreadCount(), 3);
        expectEveryoneAnsweredOnceAfterwards();
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "test_server_faults.moc"
