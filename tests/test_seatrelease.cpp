// Releasing a seat of a notified draw without the window: moves files that do not follow from
// the draw, and a release that waits while the event's notifications are being sent.
#include "ProfileMailSessionFactory.h"
#include "events/EventFiles.h"
#include "lottery/LotteryDesk.h"
#include "lottery/LotteryMessages.h"
#include "lottery/Notifier.h"
#include "lottery/SeatRelease.h"
#include "lottery/SendingLock.h"
#include "platform/TextFiles.h"
#include "support/ClosedEventFiles.h"
#include "support/MemorySettingsStore.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kKey = QStringLiteral("Lotto 2026-12-05: 3 17 22 31 40 45");
const QDateTime kDrawn = QDateTime(QDate(2026, 12, 5), QTime(10, 0), Qt::UTC);

// A working folder whose mail profile is the embedded default, a Maildir under the test's folders.
struct ReleaseFixture
{
    QString work(const QString& name) const { return folders.work() + name; }
    // The closed event drawn with kKey for the seats and saved, as the draw window leaves it.
    LotteryDesk savedDraw(const QString& event, const QString& seats) const
    {
        LotteryDesk desk(files);
        if (desk.choose(event) || desk.drawWith(seats, kKey, kDrawn) || desk.save())
            qFatal("%s could not be drawn", qPrintable(event));
        return desk;
    }

    TestFolders folders;
    Settings settings{folders.settings()};
    EventFiles files{settings};
    MemorySettingsStore store;
};

} // namespace

class TestSeatRelease : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Moves as lines of "released R" and "moved up R", R a rank; anything else is written as it stands.
    void movesThatDoNotFollowFromTheDraw_areRefused_data()
    {
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<int>("badLine");
        QTest::newRow("two releases and their moves up")
            << QStringList{"released 1", "moved up 3", "released 3", "moved up 4"} << 0;
        QTest::newRow("a move up without a release") << QStringList{"moved up 3"} << 1;
        QTest::newRow("a release of someone waiting") << QStringList{"released 4"} << 1;
        QTest::newRow("a release without its move up") << QStringList{"released 1", "released 2"} << 2;
        QTest::newRow("a move up of another than the first waiting") << QStringList{"released 1", "moved up 4"} << 2;
        QTest::newRow("the same seat released twice") << QStringList{"released 1", "moved up 3", "released 1"} << 3;
        QTest::newRow("a move up with nobody released") << QStringList{"released 1", "moved up 3", "moved up 4"} << 3;
        QTest::newRow("a name the draw does not hold") << QStringList{"2026-12-06T09:00:00Z\treleased\tNobody"} << 1;
        QTest::newRow("not a move") << QStringList{"released 1", "moved up 3", "Ann left"} << 3;
    }
    void movesThatDoNotFollowFromTheDraw_areRefused()
    {
        QFETCH(QStringList, moves);
        QFETCH(int, badLine);
        ReleaseFixture f;
        writeClosedEvent(f.folders, QStringLiteral("E00011"),
                         {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy"), QStringLiteral("Di")},
                         {QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org"),
                          QStringLiteral("cy@example.org"), QStringLiteral("di@example.org")});
        const LotteryDesk desk = f.savedDraw(QStringLiteral("E00011"), QStringLiteral("2"));
        const DrawRecord draw = *desk.draw();
        QByteArray text;
        for (const QString& move : moves) {
            const QStringList words = move.split(QLatin1Char(' '));
            const QString kind = words.mid(0, words.size() - 1).join(QLatin1Char(' '));
            const int rank = words.last().toInt();
            text += (rank > 0 && (kind == QStringLiteral("released") || kind == QStringLiteral("moved up"))
                         ? QStringLiteral("2026-12-06T09:00:00Z\t%1\t%2").arg(kind, draw.entries.at(rank - 1).name)
                         : move)
                        .toUtf8() +
                    "\r\n";
        }
        const QString movesPath = f.work(QStringLiteral("E00011.moves.txt"));
        f.folders.write(movesPath, text);

        LotteryDesk later(f.files);
        const std::optional<Message> problem = later.choose(QStringLiteral("E00011"));
        ProfileMailSessionFactory mail(f.store);
        const NotifyOutcome outcome = Notifier(mail, f.settings).send(*later.chosen(), draw);
        if (badLine == 0) {
            QVERIFY(!problem);
            QCOMPARE(later.standing()->status(0), Draw::Status::Released);
            QCOMPARE(later.standing()->status(2), Draw::Status::Released);
            QCOMPARE(later.standing()->status(3), Draw::Status::MovedUp);
            QCOMPARE(outcome.kind, NotifyOutcome::Kind::Done);
            QCOMPARE(outcome.invitations, 2);
            return;
        }
        const Message expected = LotteryMessages::fileProblem(LotteryMessages::moveNotFollowing(movesPath, badLine));
        QCOMPARE(problem ? problem->text : QString(), expected.text);
        // Neither shown, nor mailed, nor drawn anew: statuses that may be wrong go nowhere.
        QVERIFY(!later.draw());
        QCOMPARE(outcome.kind, NotifyOutcome::Kind::FileProblem);
        QCOMPARE(outcome.message().text, expected.text);
        const std::optional<Message> redraw = later.drawWith(QStringLiteral("3"), kKey, kDrawn);
        QCOMPARE(redraw ? redraw->text : QString(), LotteryMessages::drawAlreadyNotified().text);
        QVERIFY(!QFile::exists(desk.chosen()->sentPath));
        QCOMPARE(f.folders.read(movesPath), text);
    }

    void release_waitsWhileNotificationsAreSent_andGoesOnOnceTheyEnd()
    {
        ReleaseFixture f;
        writeClosedEvent(f.folders, QStringLiteral("E00012"),
                         {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")}, {});
        const LotteryDesk desk = f.savedDraw(QStringLiteral("E00012"), QStringLiteral("1"));
        const ClosedEvent closed = *desk.chosen();
        const DrawRecord draw = *desk.draw();
        const QString seated = draw.entries.at(0).name;

        // A run of Send Notifications holds the event's lock.
        auto sending = std::make_unique<SendingLock>(closed);
        QVERIFY(sending->tryTake());
        std::stop_source stop;
        stop.request_stop();
        QCOMPARE(SeatRelease(stop.get_token()).release(closed, draw, seated, kDrawn).kind,
                 ReleaseOutcome::Kind::Stopped);
        QVERIFY(!QFile::exists(closed.movesPath));

        std::atomic<bool> done{false};
        ReleaseOutcome outcome;
        std::thread waiting([&] {
            outcome = SeatRelease().release(closed, draw, seated, kDrawn);
            done = true;
        });
        QVERIFY(!QFile::exists(closed.movesPath));
        sending.reset();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        waiting.join();
        QCOMPARE(outcome.kind, ReleaseOutcome::Kind::MovedUp);
        QCOMPARE(outcome.movedUp, draw.entries.at(1).name);
        const QStringList moves = TextFiles::readLines(closed.movesPath).value_or(QStringList());
        QCOMPARE(moves, (QStringList{QStringLiteral("2026-12-05T10:00:00Z\treleased\t") + seated,
                                     QStringLiteral("2026-12-05T10:00:00Z\tmoved up\t") + draw.entries.at(1).name}));
        // Released once, the seat is gone: a second release changes nothing.
        QCOMPARE(SeatRelease().release(closed, draw, seated, kDrawn).kind, ReleaseOutcome::Kind::NotReleasable);
        QCOMPARE(TextFiles::readLines(closed.movesPath).value_or(QStringList()), moves);
    }
};

QTEST_GUILESS_MAIN(TestSeatRelease)
#include "test_seatrelease.moc"
