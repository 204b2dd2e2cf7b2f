// The watch of a request's traffic: a server far away, or one that thinks before it answers, is
// never trouble; one that trickles an answer or takes a message slowly is, and one that sends
// nothing is silent.
#include "mail/TransferWatch.h"

#include <QtTest>

using namespace Enrolix;
using std::chrono::milliseconds;

class TestTransferWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Events "ms kind bytes": kind "cmd" (a command sent), "up" (message bytes sent) or "in"
    // (bytes received); the request starts at 0, and the watch is read at "at".
    void troubledAndSilence_followWhatMoves_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("troubled");
        QTest::addColumn<int>("silence");
        // Four commands of a send, each answered after 1 s by a server 500 ms away each way.
        const QStringList distant{"0 cmd",    "1000 in 14", "1000 cmd",     "2000 in 14",
                                  "2000 cmd", "3000 in 37", "3000 up 2000", "4000 in 30"};
        QTest::newRow("distant server, answered") << distant << 4000 << 0 << 0;
        QTest::newRow("distant server, waiting for an answer") << distant.mid(0, 7) << 3900 << 0 << 900;
        QTest::newRow("server thinking 8 s before its answer") << QStringList{"0 cmd", "8000 in 30"} << 8000 << 0 << 0;
        QTest::newRow("silent server") << QStringList{"0 cmd"} << 9500 << 0 << 9500;
        QStringList trickle{"0 cmd"};
        for (int ms = 1000; ms <= 4000; ms += 250)
            trickle << QStringLiteral("%1 in 1").arg(ms);
        QTest::newRow("answer trickling 4 bytes a second") << trickle << 4000 << 3000 << 0;
        QTest::newRow("trickling answer stalled under way") << trickle.mid(0, 3) << 3000 << 2000 << 1750;
        QStringList large{"0 cmd"};
        for (int ms = 300; ms <= 2300; ms += 100)
            large << QStringLiteral("%1 in 4096").arg(ms);
        QTest::newRow("large answer at a working rate") << large << 2300 << 0 << 0;
        QStringList upload{"0 cmd", "300 in 37"};
        for (int ms = 400; ms <= 3400; ms += 500)
            upload << QStringLiteral("%1 up 4").arg(ms);
        QTest::newRow("message taken a few bytes at a time") << upload << 3400 << 3000 << 0;
        QTest::newRow("waiting after the message was taken")
            << QStringList{"0 cmd", "300 in 37", "400 up 4000", "6400 in 30"} << 6400 << 0 << 0;
    }
    void troubledAndSilence_followWhatMoves()
    {
        QFETCH(QStringList, events);
        QFETCH(int, at);
        QFETCH(int, troubled);
        QFETCH(int, silence);
        TransferWatch watch(TransportLimits{});
        watch.start(milliseconds(0));
        for (const QString& event : std::as_const(events)) {
            const QStringList parts = event.split(QLatin1Char(' '));
            const milliseconds when(parts.at(0).toInt());
            const qint64 bytes = parts.value(2).toLongLong();
            if (parts.at(1) == QLatin1String("cmd"))
                watch.commandSent(when);
            else if (parts.at(1) == QLatin1String("up"))
                watch.dataSent(when, bytes);
            else
                watch.received(when, bytes);
        }
        QCOMPARE(int(watch.troubled(milliseconds(at)).count()), troubled);
        QCOMPARE(int(watch.silence(milliseconds(at)).count()), silence);
    }

    void start_forgetsThePreviousRequest()
    {
        TransferWatch watch(TransportLimits{});
        watch.start(milliseconds(0));
        watch.received(milliseconds(100), 1);
        watch.received(milliseconds(5000), 1);
        QVERIFY(watch.troubled(milliseconds(5000)).count() > 0);
        watch.start(milliseconds(6000));
        QCOMPARE(int(watch.troubled(milliseconds(6500)).count()), 0);
        QCOMPARE(int(watch.silence(milliseconds(6500)).count()), 500);
    }
};

QTEST_GUILESS_MAIN(TestTransferWatch)
#include "test_transferwatch.moc"
