// The page folder, the one a coordinator publishes, is the data folder's pages/ by default and
// never holds a working file; a settings file that names its own folders keeps them.
#include "events/EventCreator.h"
#include "platform/IniSettingsStore.h"
#include "settings/CounterFileCheck.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/OpenEvent.h"
#include "support/Subjects.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

QString dataFolder(const TestFolders& folders)
{
    return folders.root() + QStringLiteral("data/enrolix/");
}

QString defaultPages(const TestFolders& folders)
{
    return dataFolder(folders) + QStringLiteral("pages/");
}

// One pass of the attendant on the test's XDG folders; its log line.
QString attendantOnce()
{
    return ChildProcess::run(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")}).errText();
}

// Everything in a folder, hidden files and subfolders included.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestPageFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Preparing at start-up
    void prepare_createsThePagesFolderOnlyWhileItIsTheOneInUse_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("created");
        QTest::newRow("nothing typed") << QString() << QString() << true;
        QTest::newRow("own working folder") << SettingsKeys::kWorkingFilesDirectory << "typed" << true;
        QTest::newRow("own page folder") << SettingsKeys::kHtmlFilePath << "typed" << false;
        QTest::newRow("own page prefix") << SettingsKeys::kHtmlNiceFilePath << "typed" << true;
    }
    void prepare_createsThePagesFolderOnlyWhileItIsTheOneInUse()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(bool, created);
        TestFolders folders;
        MemorySettingsStore store;
        if (!key.isEmpty())
            store.set(key, folders.root() + typed);
        QVERIFY(prepareDefaultPageFolder(store));
        QCOMPARE(QFileInfo(defaultPages(folders)).isDir(), created);
        // A folder the user typed is never made for them.
        QVERIFY(!QFileInfo::exists(folders.root() + QStringLiteral("typed")));
    }

    void freshStart_bothProgramsCreateThePagesFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("attendant") << ENROLIX_ATTENDANT;
        QTest::newRow("desktop") << ENROLIX_DESKTOP;
    }
    void freshStart_bothProgramsCreateThePagesFolder()
    {
        QFETCH(QString, program);
        TestFolders folders;
        ChildProcess process(program, program == QLatin1String(ENROLIX_ATTENDANT)
                                          ? QStringList{QStringLiteral("--once")}
                                          : QStringList{});
        QVERIFY(process.start());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(defaultPages(folders)).isDir(), 30000);
        QVERIFY(QFile::exists(dataFolder(folders) + SettingsKeys::kCounterFileName));
    }

    // A fresh install
    void freshInstall_firstEventPage_landsInPagesAndNoWorkingFileDoes()
    {
        TestFolders folders;
        const QString data = dataFolder(folders);
        QCOMPARE(attendantOnce(), QStringLiteral("pass: 0 replies sent, 0 passed over, 0 left for a later pass\n"));
        IniSettingsStore store;
        Settings settings;
        settings.LoadSettings(store);
        QCOMPARE(settings.Working_Files_Directory, data);
        QCOMPARE(settings.HTML_File_Path, defaultPages(folders));
        QCOMPARE(settings.HTML_Nice_File_Path, defaultPages(folders));

        const EventCreator::Outcome created =
            EventCreator(settings).create(QStringLiteral("Fire safety"), QStringLiteral("May 4"));
        QVERIFY2(created.file.ok(), qPrintable(created.file.description));
        QCOMPARE(created.event, QStringLiteral("E00001"));
        // The embedded mailbox of the data folder: a registration gives the list a name and an address.
        MaildirBackend mail(data + QStringLiteral("mail/"));
        mail.deliver(
            requestMail(Subjects::kRegister, created.event, QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        QCOMPARE(attendantOnce(), QStringLiteral("pass: 1 replies sent, 0 passed over, 0 left for a later pass\n"));

        QCOMPARE(entriesOf(defaultPages(folders)), QStringList{QStringLiteral("E00001.html")});
        const OpenEvent event(data, created.event);
        QCOMPARE(event.list(), QByteArray("Ann\r\n"));
        for (const QString& working :
             {event.addressPath(), event.descriptionPath(), data + QStringLiteral("Auto_Counter.txt")})
            QVERIFY2(QFile::exists(working), qPrintable(working));
    }

    // An existing install
    void existingSettings_keepTheirFolders_andNoPagesFolderIsMade()
    {
        TestFolders folders;
        const QString path = IniSettingsStore::defaultFilePath();
        const QByteArray written = "[options]\nFirstRun=False\nWorking_Files_Directory=" + folders.work().toUtf8() +
                                   "\nHTML_File_Path=" + folders.root().toUtf8() + "typed-pages\n" +
                                   "HTML_Nice_File_Path=https://example.org/courses/\n";
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        folders.write(path, written);
        QCOMPARE(attendantOnce(), QStringLiteral("pass: 0 replies sent, 0 passed over, 0 left for a later pass\n"));
        QCOMPARE(folders.read(path), written);
        QVERIFY(!QFileInfo::exists(folders.root() + QStringLiteral("typed-pages")));
        QVERIFY(!QFileInfo::exists(defaultPages(folders)));
        IniSettingsStore store;
        Settings settings;
        settings.LoadSettings(store);
        QCOMPARE(settings.Working_Files_Directory, folders.work());
        QCOMPARE(settings.HTML_File_Path, folders.root() + QStringLiteral("typed-pages/"));
        QCOMPARE(settings.HTML_Nice_File_Path, QStringLiteral("https://example.org/courses/"));
    }
};

QTEST_GUILESS_MAIN(TestPageFolder)
#include "test_pagefolder.moc"
