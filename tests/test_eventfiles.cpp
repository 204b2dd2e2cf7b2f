#include "events/EventCounter.h"
#include "events/EventFiles.h"
#include "support/OpenEvent.h"
#include "support/TestFolders.h"

#include <QtTest>

using namespace Enrolix;

class TestEventFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- names and paths
    void eventNumber_isZeroPadded_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("number");
        QTest::newRow("0") << 0 << "E00000";
        QTest::newRow("1") << 1 << "E00001";
        QTest::newRow("731") << 731 << "E00731";
        QTest::newRow("32766") << 32766 << "E32766";
    }
    void eventNumber_isZeroPadded()
    {
        QFETCH(int, value);
        QFETCH(QString, number);
        QCOMPARE(EventFiles::eventNumber(value), number);
    }

    void paths_arePlainConcatenations()
    {
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        EventFiles files(s);
        // The names the tests give an event's files are the program's.
        const Testing::OpenEvent event(folders, QStringLiteral("E00012"));
        QCOMPARE(files.recordPath(QStringLiteral("E00012")), folders.work() + QStringLiteral("E00012.sc"));
        QCOMPARE(files.recordPath(QStringLiteral("E00012")), event.listPath());
        QCOMPARE(files.descriptionPath(QStringLiteral("E00012")), folders.work() + QStringLiteral("E00012.scn"));
        QCOMPARE(files.descriptionPath(QStringLiteral("E00012")), event.descriptionPath());
        QCOMPARE(files.addressPath(QStringLiteral("E00012")), event.addressPath());
        QCOMPARE(files.pagePath(QStringLiteral("E00012")), folders.pages() + QStringLiteral("E00012.html"));
        QCOMPARE(files.publishedAddress(QStringLiteral("E00012")),
                 QStringLiteral("https://example.org/courses/E00012.html"));
    }

    // --- listing
    void listOpenEvents_onlyRecordFilesInNameOrder()
    {
        Testing::TestFolders folders;
        for (const char* name : {"E00003.sc", "E00001.sc", "E00001.scn", "E00002.sc.cl", "E00002.scn.cl", "notes.sc",
                                 "Upper.SC", "readme.txt"})
            folders.write(folders.work() + QString::fromLatin1(name), "");
        QDir().mkpath(folders.work() + QStringLiteral("folder.sc"));
        const Settings s = folders.settings();
        QStringList events{QStringLiteral("stale")};
        QVERIFY(EventFiles(s).listOpenEvents(events).ok());
        QCOMPARE(events, (QStringList{"E00001", "E00003", "notes", "Upper"}));
    }

    void listOpenEvents_missingFolder_failsAndKeepsList()
    {
        Testing::TestFolders folders;
        Settings s = folders.settings();
        s.Working_Files_Directory = folders.root() + QStringLiteral("gone/");
        QStringList events{QStringLiteral("E00001")};
        QVERIFY(!EventFiles(s).listOpenEvents(events).ok());
        QCOMPARE(events, QStringList{QStringLiteral("E00001")});
    }

    // --- the counter
    void takeNext_advancesCounter_data()
    {
        QTest::addColumn<QByteArray>("counter");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first") << QByteArray("1\r\n") << "E00001" << QByteArray("2\r\n");
        QTest::newRow("zero") << QByteArray("0\r\n") << "E00000" << QByteArray("1\r\n");
        QTest::newRow("last number") << QByteArray("32766\r\n") << "E32766" << QByteArray("32767\r\n");
        QTest::newRow("only first line counts") << QByteArray("7\r\nextra\r\n") << "E00007" << QByteArray("8\r\n");
        QTest::newRow("lf only") << QByteArray("12\n") << "E00012" << QByteArray("13\r\n");
    }
    void takeNext_advancesCounter()
    {
        QFETCH(QByteArray, counter);
        QFETCH(QString, event);
        QFETCH(QByteArray, after);
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        folders.write(s.Counter_File_Path, counter);
        EventFiles files(s);
        const EventCounter::Result result = EventCounter(s, files).takeNext();
        QVERIFY2(result.file.ok(), qPrintable(result.file.description));
        QCOMPARE(result.event, event);
        QCOMPARE(folders.read(s.Counter_File_Path), after);
    }

    void takeNext_failures_leaveCounterUntouched_data()
    {
        QTest::addColumn<QByteArray>("counter");
        QTest::newRow("overflow") << QByteArray("32767\r\n");
        QTest::newRow("junk") << QByteArray("seven\r\n");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("negative") << QByteArray("-3\r\n");
        QTest::newRow("out of range") << QByteArray("70000\r\n");
    }
    void takeNext_failures_leaveCounterUntouched()
    {
        QFETCH(QByteArray, counter);
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        folders.write(s.Counter_File_Path, counter);
        EventFiles files(s);
        const EventCounter::Result result = EventCounter(s, files).takeNext();
        QVERIFY(!result.file.ok());
        QVERIFY(result.file.code != 0);
        QVERIFY(!result.file.description.isEmpty());
        QCOMPARE(folders.read(s.Counter_File_Path), counter);
    }

    void takeNext_missingCounter_fails()
    {
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        EventFiles files(s);
        QVERIFY(!EventCounter(s, files).takeNext().file.ok());
        QVERIFY(!QFile::exists(s.Counter_File_Path));
    }

    void takeNext_skipsNumbersOfExistingEvents()
    {
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        folders.write(s.Counter_File_Path, "1\r\n");
        // A sign-up list alone, open or closed, takes its number.
        const Testing::OpenEvent open(folders, QStringLiteral("E00001"));
        folders.write(open.listPath(), "Ann\r\n");
        folders.write(Testing::OpenEvent(folders, QStringLiteral("E00002")).listPath() + QStringLiteral(".cl"),
                      "Bob\r\n");
        folders.write(folders.pages() + QStringLiteral("E00003.html"), "<html>");
        EventFiles files(s);
        const EventCounter::Result result = EventCounter(s, files).takeNext();
        QVERIFY(result.file.ok());
        QCOMPARE(result.event, QStringLiteral("E00004"));
        QCOMPARE(folders.read(s.Counter_File_Path), QByteArray("5\r\n"));
        QCOMPARE(open.list(), QByteArray("Ann\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestEventFiles)
#include "test_eventfiles.moc"
