// enrolix-attendant --once killed from outside with SIGKILL at random moments while it answers a
// mixed run of requests against Dovecot and the SMTP sink, each kill followed by a whole pass:
// every list, order included, and the subject of every reply are those of a plain sequential
// model, and no more mails are answered twice than the replies that can be in flight. Seeded: a
// run prints its seed, and ENROLIX_KILL_SEED repeats it; ENROLIX_KILLS sets how many kills.
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"
#include "support/SignUpModel.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

using Kind = SignUpModel::Kind;

// Replies handed to the sending thread and not yet settled, at most: after a kill these are the
// mails that may be answered once more.
constexpr int kRepliesInFlight = 16;
const QStringList kEvents = {QStringLiteral("E00001"), QStringLiteral("E00002")};
const QStringList kPeople = {QStringLiteral("Ann"),  QStringLiteral("Bob"), QStringLiteral("Carl"),
                             QStringLiteral("Dora"), QStringLiteral("Eve"), QStringLiteral("Finn")};

int fromEnvironment(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

QString idOf(const QByteArray& header)
{
    return QString::fromUtf8(header).remove(QLatin1Char('<')).remove(QLatin1Char('>'));
}

} // namespace

class TestPassRandomKill : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    std::unique_ptr<ServerBackend> m_backend;
    SignUpModel m_model;
    QRandomGenerator m_random;
    // The subject each request's replies must have, by the request's Message-ID.
    QHash<QString, QString> m_expected;
    QStringList m_round;

    // Delivers a mixed run of requests: the same few people register, cancel, register again
    // and ask for the list, so that any request handled out of order, or answered about the list
    // as later requests left it, shows in a list or a subject.
    void deliverRound(int count)
    {
        m_round.clear();
        QList<QByteArray> mails;
        for (int i = 0; i < count; ++i) {
            const int roll = int(m_random.bounded(10));
            const Kind kind = roll < 5 ? Kind::Register : roll < 8 ? Kind::Cancel : Kind::AttendeeList;
            // Now and then an event that is not open.
            const QString event = m_random.bounded(20) == 0 ? QStringLiteral("E00009")
                                                            : kEvents.at(int(m_random.bounded(kEvents.size())));
            const QString name = kPeople.at(int(m_random.bounded(kPeople.size())));
            const QString id = QStringLiteral("kill-%1-%2@example.net").arg(m_expected.size()).arg(name);
            m_expected.insert(id, m_model.handle(kind, event, name));
            m_round.append(id);
            mails.append(requestMail(SignUpModel::subjectOf(kind), event, name,
                                     name.toLower() + QStringLiteral("@example.org"), id));
        }
        m_backend->deliver(mails);
    }

    // One pass of the attendant; with a kill, SIGKILL after that many milliseconds unless it ended.
    // True when it was killed.
    static bool runAttendant(int killAfterMs, QString* log = nullptr)
    {
        ChildProcess attendant(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        if (!attendant.start())
            return false;
        bool killed = false;
        if (killAfterMs >= 0 && !attendant.waitForEnd(killAfterMs)) {
            attendant.signal(SIGKILL);
            killed = true;
        }
        attendant.waitForEnd(120000);
        const ChildProcess::Ended ended = attendant.ended();
        if (log)
            *log = QString::fromUtf8(ended.err);
        return killed && ended.crashed;
    }

    // The lists and the subjects of every reply so far are the model's, and every request of the
    // last round has its reply; twice: the mails of the round answered more than once.
    void expectTheModel(int& twice)
    {
        for (const QString& event : kEvents)
            QCOMPARE(OpenEvent(*m_folders, event).list(), OpenEvent::lines(m_model.list(event)));
        QHash<QString, int> answered;
        for (const QByteArray& raw : m_backend->replies()) {
            const QString request = idOf(headerOf(raw, "In-Reply-To"));
            QVERIFY2(m_expected.contains(request), qPrintable(request));
            QCOMPARE(QString::fromUtf8(headerOf(raw, "Subject")), m_expected.value(request));
            ++answered[request];
        }
        twice = 0;
        for (const QString& request : std::as_const(m_round)) {
            QVERIFY2(answered.value(request) > 0, qPrintable(request + QStringLiteral(" got no reply")));
            twice += answered.value(request) > 1 ? 1 : 0;
        }
    }

private Q_SLOTS:
    void killedAtRandom_nextPassLeavesTheListsAndRepliesOfTheSequentialModel()
    {
        const quint32 seed =
            quint32(fromEnvironment("ENROLIX_KILL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        const int kills = fromEnvironment("ENROLIX_KILLS", 30);
        qInfo("seed %u (ENROLIX_KILL_SEED=%u repeats it), %d kills", seed, seed, kills);
        m_random.seed(seed);

        m_folders = std::make_unique<TestFolders>();
        m_backend = std::make_unique<ServerBackend>(m_folders->root());
        QVERIFY2(m_backend->problem().isEmpty(), qPrintable(m_backend->problem()));
        PassRig::writeSettingsFile(*m_folders, *m_backend);
        // The same few people send many requests here: no limit on the replies to one sender.
        IniSettingsStore().write(SettingsKeys::kAttendant, SettingsKeys::kMaxRepliesPerSender, QStringLiteral("0"));
        for (const QString& event : kEvents) {
            OpenEvent::create(*m_folders, event, "Zoe\r\n");
            m_model.openEvent(event, {QStringLiteral("Zoe")});
        }

        // An uninterrupted round tells how long a pass takes here; the kills fall within that.
        deliverRound(40);
        QElapsedTimer timer;
        timer.start();
        QString log;
        QVERIFY(!runAttendant(-1, &log));
        const int passMs = int(timer.elapsed());
        QVERIFY2(log.startsWith(QStringLiteral("pass: 40 replies sent")), qPrintable(log));
        int twice = 0;
        expectTheModel(twice);
        if (QTest::currentTestFailed())
            return;

        int killed = 0;
        int worst = 0;
        for (int round = 0; killed < kills && round < 3 * kills; ++round) {
            deliverRound(20 + int(m_random.bounded(40)));
            const int killAfterMs = int(m_random.bounded(passMs + 1));
            const bool wasKilled = runAttendant(killAfterMs);
            killed += wasKilled ? 1 : 0;
            QVERIFY(!runAttendant(-1, &log));
            QVERIFY2(log.contains(QStringLiteral(", 0 left for a later pass")), qPrintable(log));
            QCOMPARE(m_backend->unreadCount(), 0);
            expectTheModel(twice);
            if (QTest::currentTestFailed()) {
                qWarning("round %d, killed after %d ms, seed %u", round, killAfterMs, seed);
                return;
            }
            QVERIFY2(twice <= kRepliesInFlight, qPrintable(QString::number(twice)));
            worst = std::max(worst, twice);
            if (wasKilled && killed % 10 == 0)
                qInfo("%d kills in %d rounds", killed, round + 1);
        }
        QCOMPARE(killed, kills);
        qInfo("%d kills; at most %d mails of a round answered twice", killed, worst);
    }
};

QTEST_GUILESS_MAIN(TestPassRandomKill)
#include "test_pass_random_kill.moc"
