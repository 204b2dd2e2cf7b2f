#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/MemorySettingsStore.h"
#include "support/TestFolders.h"

#include <QFile>
#include <QtTest>

using namespace Enrolix;
using Enrolix::Testing::MemorySettingsStore;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- defaults and derived values
    void load_emptyStore_givesDefaults()
    {
        Testing::TestFolders folders;
        MemorySettingsStore store;
        Settings s;
        s.LoadSettings(store);
        const QString data = folders.root() + QStringLiteral("data/enrolix/");
        QCOMPARE(s.Working_Files_Directory, data);
        // The page folder, the one to publish, is apart from the working files.
        QCOMPARE(s.HTML_File_Path, data + QStringLiteral("pages/"));
        QCOMPARE(s.HTML_Nice_File_Path, data + QStringLiteral("pages/"));
        QCOMPARE(s.Training_Coordinator_Name, QStringLiteral("Training Coordinator"));
        QCOMPARE(s.Training_Coordinator_Ext, QStringLiteral("Quillmark"));
        QVERIFY(s.Registration_Attendant_Email.contains(QLatin1Char('@')));
        QVERIFY(s.Training_Coordinator_Email_Address.contains(QLatin1Char('@')));
        QCOMPARE(s.Seconds_Wait_Between_Email_Processing, qint16(600));
        QCOMPARE(s.FirstRun, true);
        QCOMPARE(s.Counter_File_Path, data + QStringLiteral("Auto_Counter.txt"));
        QCOMPARE(s.ProgressFactor, 100.0 / 600.0);
    }

    // --- folder normalisation
    void load_folder_endsInSeparator_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("without separator") << "/srv/events"
                                           << "/srv/events/";
        QTest::newRow("with separator") << "/srv/events/"
                                        << "/srv/events/";
        QTest::newRow("empty") << ""
                               << "/";
        QTest::newRow("backslash kept, separator added") << "d:\\events\\"
                                                         << "d:\\events\\/";
    }
    void load_folder_endsInSeparator()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        MemorySettingsStore store;
        store.set(SettingsKeys::kWorkingFilesDirectory, stored);
        store.set(SettingsKeys::kHtmlFilePath, stored);
        store.set(SettingsKeys::kHtmlNiceFilePath, stored);
        Settings s;
        s.LoadSettings(store);
        QCOMPARE(s.Working_Files_Directory, loaded);
        QCOMPARE(s.HTML_File_Path, loaded);
        QCOMPARE(s.HTML_Nice_File_Path, loaded);
        QCOMPARE(s.Counter_File_Path, loaded + QStringLiteral("Auto_Counter.txt"));
        // The store itself is never normalised.
        QCOMPARE(store.read(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, {}), stored);
    }

    // --- the wait between checks
    void load_seconds_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("plain") << "45"
                               << "45";
        QTest::newRow("rounds up") << "30.6"
                                   << "31";
        QTest::newRow("half to even down") << "30.5"
                                           << "30";
        QTest::newRow("half to even up") << "31.5"
                                         << "32";
        QTest::newRow("leading blanks") << "  90"
                                        << "90";
        QTest::newRow("not a number") << "abc"
                                      << "20";
        QTest::newRow("too large") << "40000"
                                   << "20";
        QTest::newRow("empty") << ""
                               << "20";
        QTest::newRow("zero would divide by zero") << "0"
                                                   << "20";
        QTest::newRow("rounds to zero") << "0.4"
                                        << "20";
        QTest::newRow("negative") << "-5"
                                  << "20";
        QTest::newRow("largest") << "32767"
                                 << "32767";
    }
    void load_seconds()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        MemorySettingsStore store;
        store.set(SettingsKeys::kSecondsWait, stored);
        store.set(SettingsKeys::kFirstRun, QStringLiteral("False"));
        store.set(SettingsKeys::kWorkingFilesDirectory, QStringLiteral("/w"));
        Settings s;
        s.LoadSettings(store);
        QCOMPARE(QString::number(s.Seconds_Wait_Between_Email_Processing), loaded);
        QCOMPARE(s.ProgressFactor, 100.0 / loaded.toDouble());
        // The load goes on after the fallback.
        QCOMPARE(s.FirstRun, false);
        QCOMPARE(s.Counter_File_Path, QStringLiteral("/w/Auto_Counter.txt"));
    }

    // --- FirstRun
    void load_firstRun_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("false lower case") << "false" << false;
        QTest::newRow("FALSE") << "FALSE" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("one") << "1" << true;
        QTest::newRow("minus one") << "-1" << true;
        QTest::newRow("junk reads as true") << "maybe" << true;
    }
    void load_firstRun()
    {
        QFETCH(QString, stored);
        QFETCH(bool, loaded);
        MemorySettingsStore store;
        store.set(SettingsKeys::kFirstRun, stored);
        Settings s;
        s.LoadSettings(store);
        QCOMPARE(s.FirstRun, loaded);
    }

    // --- the [attendant] section
    void load_attendantRules_data()
    {
        QTest::addColumn<QString>("maxReplies");
        QTest::addColumn<QString>("listFor");
        QTest::addColumn<QString>("cancelOnly");
        QTest::addColumn<int>("loadedMax");
        QTest::addColumn<int>("loadedListFor");
        QTest::addColumn<bool>("loadedCancelOnly");
        const int anyone = int(AttendeeListFor::Anyone);
        const int registered = int(AttendeeListFor::Registered);
        const int coordinator = int(AttendeeListFor::Coordinator);
        QTest::newRow("absent") << QString() << QString() << QString() << 20 << anyone << false;
        QTest::newRow("set") << "5"
                             << "registered"
                             << "true" << 5 << registered << true;
        QTest::newRow("other spellings") << " 0 "
                                         << "Coordinator"
                                         << "1" << 0 << coordinator << true;
        QTest::newRow("anyone, false") << "300"
                                       << "anyone"
                                       << "False" << 300 << anyone << false;
        QTest::newRow("negative, unknown, junk") << "-1"
                                                 << "everyone"
                                                 << "yes" << 20 << anyone << false;
        QTest::newRow("decimal, empty, zero") << "2.5"
                                              << ""
                                              << "0" << 20 << anyone << false;
        QTest::newRow("words") << "ten"
                               << "registered only"
                               << "maybe" << 20 << anyone << false;
    }
    void load_attendantRules()
    {
        QFETCH(QString, maxReplies);
        QFETCH(QString, listFor);
        QFETCH(QString, cancelOnly);
        QFETCH(int, loadedMax);
        QFETCH(int, loadedListFor);
        QFETCH(bool, loadedCancelOnly);
        MemorySettingsStore store;
        const std::pair<const QString&, const QString&> stored[] = {
            {SettingsKeys::kMaxRepliesPerSender, maxReplies},
            {SettingsKeys::kAttendeeListFor, listFor},
            {SettingsKeys::kCancelOnlyFromRegisteringAddress, cancelOnly}};
        for (const auto& [key, value] : stored) {
            if (!value.isNull())
                store.write(SettingsKeys::kAttendant, key, value);
            // The rules are read from their own section only.
            store.set(key, QStringLiteral("7"));
        }
        Settings s;
        s.LoadSettings(store);
        QCOMPARE(s.attendant.max_replies_per_sender, loadedMax);
        QCOMPARE(int(s.attendant.attendee_list_for), loadedListFor);
        QCOMPARE(s.attendant.cancel_only_from_registering_address, loadedCancelOnly);
    }

    // --- the INI store
    void iniStore_roundTrip_keepsTextVerbatim()
    {
        Testing::TestFolders folders;
        const QString path = folders.root() + QStringLiteral("config/enrolix/enrolix.ini");
        {
            IniSettingsStore store(path);
            store.write(QStringLiteral("options"), SettingsKeys::kWorkingFilesDirectory, QStringLiteral("d:\\events"));
            store.write(QStringLiteral("options"), SettingsKeys::kCoordinatorName, QStringLiteral("Doe, Jane"));
            store.write(QStringLiteral("options"), SettingsKeys::kSecondsWait, QStringLiteral(" 30.5"));
        }
        IniSettingsStore reopened(path);
        QCOMPARE(reopened.read(QStringLiteral("options"), SettingsKeys::kWorkingFilesDirectory, {}),
                 QStringLiteral("d:\\events"));
        QCOMPARE(reopened.read(QStringLiteral("options"), SettingsKeys::kCoordinatorName, {}),
                 QStringLiteral("Doe, Jane"));
        QCOMPARE(reopened.read(QStringLiteral("options"), SettingsKeys::kSecondsWait, {}), QStringLiteral(" 30.5"));
        QCOMPARE(reopened.read(QStringLiteral("options"), QStringLiteral("Absent"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[options]"));
    }

    void iniStore_defaultPath_followsXdgConfigHome()
    {
        Testing::TestFolders folders;
        QCOMPARE(IniSettingsStore::defaultFilePath(), folders.root() + QStringLiteral("config/enrolix/enrolix.ini"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
