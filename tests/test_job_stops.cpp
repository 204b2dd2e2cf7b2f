// The desktop's background jobs destroyed in the middle of their work while a server has stopped
// answering (the loopback fault proxy in front of the fixture's Dovecot server and SMTP sink):
// each ends within 2 s of being asked, and nothing is lost. The mails not answered are unread,
// the lists hold what their pending replies say, ".sent" holds only what the server took, and
// once the fault is over the next pass or run finishes the work, nobody answered twice.
#include "attendant/AttendantEngine.h"
#include "attendant/PendingReplies.h"
#include "events/EventFiles.h"
#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/Notifier.h"
#include "lottery/frmDraw.h"
#include "mail/ProfileKeys.h"
#include "support/ClosedEventFiles.h"
#include "support/Controls.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/ServerBackend.h"
#include "support/Subjects.h"
#include "support/TestContext.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kImap = QStringLiteral("ENROLIX_IMAP_PORT");
const QString kSmtp = QStringLiteral("ENROLIX_SMTP_PORT");
// A stop must end a job within this, whatever its servers do.
constexpr qint64 kStopBoundMs = 2000;

// Destroys the owner of a job and says how long that took.
template <typename Owner> qint64 msToDestroy(std::unique_ptr<Owner>& owner)
{
    QElapsedTimer timer;
    timer.start();
    owner.reset();
    return timer.elapsed();
}

QStringList sorted(QStringList lines)
{
    lines.sort();
    return lines;
}

} // namespace

class TestJobStops : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<ServerBackend> m_backend;
    const QStringList m_people{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")};

    // The profile reaches the server through the proxy, in plain text so the proxy sees the commands.
    void useProxy(const QString& server, int proxyPort)
    {
        const QString profile = SettingsKeys::kMailProfileName;
        if (server == kImap)
            m_test->store.write(profile, SettingsKeys::kMailInbox,
                                QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(proxyPort));
        else
            m_test->store.write(profile, SettingsKeys::kMailOutbox,
                                QStringLiteral("smtp://127.0.0.1:%1").arg(proxyPort));
        m_test->store.write(profile, SettingsKeys::kMailTls, QStringLiteral("off"));
    }
    int port(const QString& server) const { return m_backend->value(server).toInt(); }

    QStringList list() const { return OpenEvent(m_test->folders, QStringLiteral("E00001")).names(); }
    // The names whose list changes the pending replies announce.
    QStringList pendingNames() const
    {
        PendingReplies pending(PendingReplies::pathIn(m_test->folders.work()));
        if (!pending.load())
            return {QStringLiteral("(unreadable)")};
        QStringList names;
        for (const PendingReplies::Entry& entry : pending.entries()) {
            if (entry.changed)
                names << entry.name;
        }
        return sorted(names);
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        m_backend = std::make_unique<ServerBackend>(m_test->folders.root());
        if (!m_backend->problem().isEmpty())
            QFAIL(qPrintable(m_backend->problem()));
        m_backend->configure(m_test->store, SettingsKeys::kMailProfileName);
    }
    void cleanup()
    {
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_backend.reset();
        m_test.reset();
    }

    void engine_destroyedMidPassAgainstASilentServer_endsPromptlyAndLosesNothing_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("options");
        // Requests handled when the pass waits for the silent server.
        QTest::addColumn<int>("handled");
        QTest::newRow("inbox silent at the second mail") << kImap << QStringList{"--silent-after", "FETCH 2"} << 1;
        QTest::newRow("outbox silent with replies queued") << kSmtp << QStringList{"--silent-after", "DATA"} << 3;
    }
    void engine_destroyedMidPassAgainstASilentServer_endsPromptlyAndLosesNothing()
    {
        QFETCH(QString, server);
        QFETCH(QStringList, options);
        QFETCH(int, handled);
        OpenEvent::create(m_test->folders, QStringLiteral("E00001"));
        for (const QString& name : m_people)
            m_backend->deliver(requestMail(Subjects::kRegister, QStringLiteral("E00001"), name,
                                           name.toLower() + QStringLiteral("@example.org")));
        FaultProxy proxy(port(server), options);
        QVERIFY(proxy.port());
        useProxy(server, proxy.port());

        auto engine = std::make_unique<AttendantEngine>(m_test->settings, m_test->sessions());
        QVERIFY(engine->startPass());
        QTRY_COMPARE_WITH_TIMEOUT(int(list().size()), handled, 10000);
        const qint64 ms = msToDestroy(engine);
        QVERIFY2(ms < kStopBoundMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));

        QCOMPARE(pendingNames(), sorted(list()));
        const int answered = int(m_backend->replies().size());
        QVERIFY(answered <= handled);
        // A sign-on makes unread again what the stopped pass could not (its journal of fetched mails).
        proxy.heal();
        const SignOn signOn = m_test->sessions().signOn(SettingsKeys::kMailProfileName);
        QVERIFY2(signOn.session, qPrintable(signOn.failure));
        signOn.session->signOff();
        QCOMPARE(m_backend->unreadCount(), int(m_people.size()) - answered);

        const PassReport repair = m_test->run();
        QVERIFY2(repair.failure.isEmpty(), qPrintable(repair.failure));
        QCOMPARE(repair.replies, int(m_people.size()) - answered);
        QCOMPARE(m_backend->unreadCount(), 0);
        QCOMPARE(m_backend->replySubjects(), QStringList(m_people.size(), Subjects::kRegistered));
        QStringList recipients;
        for (const QByteArray& raw : m_backend->replies())
            recipients << recipientOf(raw).name;
        QCOMPARE(sorted(recipients), m_people);
        QCOMPARE(list(), m_people);
    }

    void drawWindow_destroyedMidSendAgainstASilentServer_endsPromptlyAndRecordsOnlyWhatWasTaken()
    {
        QStringList names;
        QStringList addresses;
        for (int i = 1; i <= 8; ++i) {
            names << QStringLiteral("Person %1").arg(i);
            addresses << QStringLiteral("p%1@example.org").arg(i);
        }
        writeClosedEvent(m_test->folders, QStringLiteral("E00009"), names, addresses);
        FileResult failure;
        const std::optional<ClosedEvent> closed =
            ClosedEvent::load(EventFiles(m_test->settings), QStringLiteral("E00009"), failure);
        QVERIFY(closed);
        const DrawRecord draw = DrawRecord::make(*closed, QStringLiteral("key"), 3, QDateTime::currentDateTimeUtc());
        QVERIFY(TextFiles::writeWhole(closed->drawPath, draw.text()).ok());
        // Silent once the third mail names its recipient: two are taken, the third hangs.
        const QString third = closed->addresses.value(draw.entries.at(2).name);
        FaultProxy proxy(port(kSmtp), {QStringLiteral("--silent-after"), QStringLiteral("RCPT TO:<%1>").arg(third)});
        QVERIFY(proxy.port());
        useProxy(kSmtp, proxy.port());
        const auto recorded = [&closed] { return TextFiles::readLines(closed->sentPath).value_or(QStringList()); };

        auto window = std::make_unique<frmDraw>(m_test->context);
        QVERIFY(window->listClosedEvents());
        control<QPushButton>(*window, "cmdSend")->click();
        QVERIFY(window->sending());
        QTRY_COMPARE_WITH_TIMEOUT(int(recorded().size()), 2, 30000);
        const qint64 ms = msToDestroy(window);
        QVERIFY2(ms < kStopBoundMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));

        QStringList taken;
        for (const QByteArray& raw : m_backend->replies())
            taken << recipientOf(raw).name + QLatin1Char('\t') + recipientOf(raw).address;
        QCOMPARE(sorted(recorded()), sorted(taken));
        QVERIFY(!recorded().join(QLatin1Char('\n')).contains(third));

        proxy.heal();
        const NotifyOutcome rest = Notifier(m_test->sessions(), m_test->settings).send(*closed, draw);
        QCOMPARE(rest.kind, NotifyOutcome::Kind::Done);
        QCOMPARE(rest.invitations + rest.waiting, 6);
        QTRY_COMPARE_WITH_TIMEOUT(int(m_backend->replies().size()), 8, 10000);
        QStringList mailed;
        for (const QByteArray& raw : m_backend->replies())
            mailed << recipientOf(raw).address;
        QCOMPARE(sorted(mailed), sorted(addresses));
        QCOMPARE(recorded().size(), 8);
    }
};

QTEST_MAIN(TestJobStops)
#include "test_job_stops.moc"
