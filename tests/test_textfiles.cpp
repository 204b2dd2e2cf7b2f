#include "platform/TextFiles.h"
#include "support/SmallDisk.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Enrolix;

class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitLines_acceptsEveryLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("lf") << "a\nb\n" << QStringList{"a", "b"};
        QTest::newRow("cr") << "a\rb\r" << QStringList{"a", "b"};
        QTest::newRow("no final end") << "a\r\nb" << QStringList{"a", "b"};
        QTest::newRow("empty line kept") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b"};
        QTest::newRow("mixed") << "a\rb\r\nc\r\r\nd\ne" << QStringList{"a", "b", "c", "", "d", "e"};
        QTest::newRow("utf-8") << "Zo\u00eb\r\n\u00c5sa\r" << QStringList{"Zo\u00eb", "\u00c5sa"};
    }
    // From a text, and from a file one line at a time.
    void splitLines_acceptsEveryLineEnd()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFiles::splitLines(text), lines);
        Testing::TestFolders folders;
        const QString path = folders.work() + QStringLiteral("lines.txt");
        folders.write(path, text.toUtf8());
        QStringList read;
        QVERIFY(TextFiles::forEachLine(path, [&read](const QString& line) { read.append(line); }).ok());
        QCOMPARE(read, lines);
        QVERIFY(TextFiles::keepLines(path, [](const QString& line) { return line != QStringLiteral("b"); }).ok());
        QStringList kept = lines;
        kept.removeAll(QStringLiteral("b"));
        QCOMPARE(TextFiles::readLines(path).value(), kept);
    }

    void writeAndAppend_useCrLfAndUtf8()
    {
        Testing::TestFolders folders;
        const QString path = folders.work() + QStringLiteral("list.sc");
        QVERIFY(TextFiles::createEmptyNew(path).ok());
        QCOMPARE(folders.read(path), QByteArray());
        QVERIFY(TextFiles::appendLine(path, QStringLiteral("Zoë Müller")).ok());
        QVERIFY(TextFiles::appendLine(path, QStringLiteral("Ann")).ok());
        QCOMPARE(folders.read(path), QByteArray("Zo\xc3\xab M\xc3\xbcller\r\nAnn\r\n"));
        QVERIFY(TextFiles::writeLines(path, {QStringLiteral("Ann")}).ok());
        QCOMPARE(folders.read(path), QByteArray("Ann\r\n"));
    }

    void appendLine_afterLastLineWithoutEnd_startsANewLine()
    {
        Testing::TestFolders folders;
        const QString path = folders.work() + QStringLiteral("list.sc");
        folders.write(path, "Ann");
        QVERIFY(TextFiles::appendLine(path, QStringLiteral("Bob")).ok());
        QCOMPARE(folders.read(path), QByteArray("Ann\r\nBob\r\n"));
    }

    void createEmptyNew_neverReplacesAFile()
    {
        Testing::TestFolders folders;
        const QString path = folders.work() + QStringLiteral("E00001.sc");
        folders.write(path, "Ann\r\n");
        QVERIFY(!TextFiles::createEmptyNew(path).ok());
        QCOMPARE(folders.read(path), QByteArray("Ann\r\n"));
    }

    void failures_carryCodeAndDescription()
    {
        Testing::TestFolders folders;
        const QString missing = folders.root() + QStringLiteral("nowhere/file.txt");
        FileResult result;
        QVERIFY(!TextFiles::readAll(missing, &result).has_value());
        QVERIFY(!result.ok());
        QVERIFY(!result.description.isEmpty());
        const FileResult written = TextFiles::writeWhole(missing, QStringLiteral("x"));
        QVERIFY(!written.ok());
        QVERIFY(written.code != 0);
        QVERIFY(!QFile::exists(missing));
    }

    void writeWhole_failure_leavesOldContent()
    {
        Testing::TestFolders folders;
        const QString path = folders.work() + QStringLiteral("Auto_Counter.txt");
        folders.write(path, "7\r\n");
        QFile::setPermissions(folders.work(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool readOnlyFolderEnforced = !QFile(folders.work() + QStringLiteral("probe")).open(QIODevice::WriteOnly);
        const FileResult result = TextFiles::writeWhole(path, QStringLiteral("8\r\n"));
        QFile::setPermissions(folders.work(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!readOnlyFolderEnforced)
            QSKIP("folder permissions are not enforced for this user");
        QVERIFY(!result.ok());
        QCOMPARE(folders.read(path), QByteArray("7\r\n"));
    }

    // On a disk that is full for real
    void writeWhole_onAFullDisk_failsAndKeepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<int>("freeBytes");
        QTest::newRow("three names, nothing free") << QByteArray("Ann\r\nBob\r\nCarl\r\n") << 0;
        QTest::newRow("6,000 bytes, one page free") << QByteArray(5998, 'a') + "\r\n" << 4096;
    }
    void writeWhole_onAFullDisk_failsAndKeepsEveryByte()
    {
        QFETCH(QByteArray, old);
        QFETCH(int, freeBytes);
        Testing::TestFolders folders;
        Testing::SmallDisk disk(folders.work(), 32);
        ENROLIX_REQUIRE_DISK(disk);
        const QString path = folders.work() + QStringLiteral("E00001.sc");
        folders.write(path, old);
        disk.fill();
        disk.release(freeBytes);
        const FileResult result = TextFiles::writeWhole(path, QString::fromUtf8(old.chopped(2)));
        QVERIFY(!result.ok());
        QVERIFY2(result.description.contains(QStringLiteral("space")), qPrintable(result.description));
        QCOMPARE(folders.read(path), old);
        const FileResult kept = TextFiles::keepLines(path, [](const QString& line) { return line != QStringLiteral("Bob"); });
        QVERIFY2(kept.description.contains(QStringLiteral("space")), qPrintable(kept.description));
        QCOMPARE(folders.read(path), old);
        QCOMPARE(QDir(folders.work()).entryList(QDir::Files), QStringList{QStringLiteral("E00001.sc")});
    }

    void appendLine_thatOnlyPartlyFits_isTakenBack()
    {
        Testing::TestFolders folders;
        Testing::SmallDisk disk(folders.work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        const QString path = folders.work() + QStringLiteral("E00001.sc");
        const QByteArray old = QByteArray(4078, 'a') + "\r\n";
        folders.write(path, old);
        disk.fill();
        const QString name = QStringLiteral("Bartholomew Aberforth-Smythe");
        QCOMPARE(name.size(), 28);
        QVERIFY(!TextFiles::appendLine(path, name).ok());
        QCOMPARE(folders.read(path), old);
        disk.releaseAll();
        QVERIFY(TextFiles::appendLine(path, name).ok());
        QCOMPARE(folders.read(path), old + name.toUtf8() + "\r\n");
    }

    void stagedFile_onAFullDisk_failsBeforeTheCommit()
    {
        Testing::TestFolders folders;
        Testing::SmallDisk disk(folders.pages(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        const QString page = folders.pages() + QStringLiteral("E00001.html");
        folders.write(page, "<html>open</html>\r\n");
        disk.fill();
        TextFiles::StagedFile staged(page, QString(3000, QLatin1Char('x')));
        QVERIFY(!staged.result().ok());
        QVERIFY(!staged.commit().ok());
        QCOMPARE(folders.read(page), QByteArray("<html>open</html>\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "test_textfiles.moc"
