#include "attendant/Countdown.h"
#include "settings/Settings.h"

#include <QtTest>

using namespace Enrolix;

class TestCountdown : public QObject
{
    Q_OBJECT

    static Settings waitOf(int seconds)
    {
        Settings s;
        s.Seconds_Wait_Between_Email_Processing = qint16(seconds);
        s.ProgressFactor = 100.0 / seconds;
        return s;
    }

private Q_SLOTS:
    void progressFor_roundsHalfToEvenAndClamps_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("wait");
        QTest::addColumn<int>("progress");
        QTest::newRow("599 of 600 rounds to 100") << 599 << 600 << 100;
        QTest::newRow("300 of 600") << 300 << 600 << 50;
        QTest::newRow("3 of 600 is 0.5, raised to 1") << 3 << 600 << 1;
        QTest::newRow("9 of 600 is 1.5, to 2") << 9 << 600 << 2;
        QTest::newRow("15 of 600 is 2.5, to 2") << 15 << 600 << 2;
        QTest::newRow("longer than the wait") << 900 << 600 << 100;
        QTest::newRow("zero") << 0 << 600 << 1;
    }
    void progressFor_roundsHalfToEvenAndClamps()
    {
        QFETCH(int, seconds);
        QFETCH(int, wait);
        QFETCH(int, progress);
        QCOMPARE(Countdown::progressFor(qint16(seconds), 100.0 / wait), progress);
    }

    void firstTick_ofA600SecondWait()
    {
        const Settings s = waitOf(600);
        Countdown countdown(s);
        countdown.load();
        countdown.tick();
        QCOMPARE(countdown.secondsText(), QStringLiteral(" 599"));
        QCOMPARE(countdown.progress(), 100);
    }

    void tickReachingZero_runsPassWithTimerOff_thenRestartsFullWait()
    {
        const Settings s = waitOf(600);
        Countdown countdown(s);
        countdown.load();
        countdown.setTimerEnabled(true);
        int passes = 0;
        bool timerDuringPass = true;
        QString textDuringPass;
        countdown.setPass([&] {
            ++passes;
            timerDuringPass = countdown.timerEnabled();
            countdown.passEnded();
        });
        connect(&countdown, &Countdown::displayChanged, this, [&] { textDuringPass = countdown.secondsText(); });
        countdown.setTimerSeconds(1); // "Process Now!"
        countdown.tick();
        QCOMPARE(passes, 1);
        QCOMPARE(timerDuringPass, false);
        QVERIFY(countdown.timerEnabled());
        QCOMPARE(textDuringPass, QStringLiteral(" 0"));
        QCOMPARE(countdown.progress(), 1);
        QCOMPARE(countdown.iTimerSeconds(), qint16(600));
        countdown.tick();
        QCOMPARE(countdown.secondsText(), QStringLiteral(" 599"));
        QCOMPARE(passes, 1);
    }

    void waitOfOneSecond_runsAPassEveryTick()
    {
        const Settings s = waitOf(1);
        Countdown countdown(s);
        countdown.load();
        int passes = 0;
        countdown.setPass([&] {
            ++passes;
            countdown.passEnded();
        });
        for (int i = 0; i < 3; ++i)
            countdown.tick();
        QCOMPARE(passes, 3);
    }

    void passRunningElsewhere_keepsTheTimerOffUntilItEnds()
    {
        const Settings s = waitOf(600);
        Countdown countdown(s);
        countdown.setTimerEnabled(true);
        countdown.setTimerSeconds(1);
        int passes = 0;
        int finished = 0;
        countdown.setPass([&] { ++passes; });
        connect(&countdown, &Countdown::passFinished, this, [&] { ++finished; });
        countdown.tick();
        QCOMPARE(passes, 1);
        QVERIFY(countdown.passRunning());
        QVERIFY(!countdown.timerEnabled());
        QCOMPARE(finished, 0);
        countdown.passEnded();
        QVERIFY(!countdown.passRunning());
        QVERIFY(countdown.timerEnabled());
        QCOMPARE(finished, 1);
        // A second end of the same pass changes nothing.
        countdown.setTimerEnabled(false);
        countdown.passEnded();
        QVERIFY(!countdown.timerEnabled());
        QCOMPARE(finished, 1);
    }

    void stopAndStart_goOnFromWhereItStopped()
    {
        const Settings s = waitOf(600);
        Countdown countdown(s);
        countdown.setTimerSeconds(250);
        countdown.setTimerEnabled(true);
        countdown.setTimerEnabled(false);
        countdown.setTimerEnabled(true);
        countdown.tick();
        QCOMPARE(countdown.secondsText(), QStringLiteral(" 249"));
    }

    void changedWait_runningCountdownGoesOn_barRescalesAtOnce()
    {
        Settings s = waitOf(600);
        Countdown countdown(s);
        countdown.load();
        countdown.tick();
        s = waitOf(100);
        countdown.tick();
        QCOMPARE(countdown.iTimerSeconds(), qint16(598));
        QCOMPARE(countdown.progress(), 100);
        countdown.setTimerSeconds(51);
        countdown.tick();
        QCOMPARE(countdown.progress(), 50);
        int passes = 0;
        countdown.setPass([&] {
            ++passes;
            countdown.passEnded();
        });
        countdown.setTimerSeconds(1);
        countdown.tick();
        QCOMPARE(passes, 1);
        QCOMPARE(countdown.iTimerSeconds(), qint16(100));
    }
};

QTEST_GUILESS_MAIN(TestCountdown)
#include "test_countdown.moc"
