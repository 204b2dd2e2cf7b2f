#include "settings/OptionTable.h"
#include "settings/Settings.h"
#include "support/MemorySettingsStore.h"
#include "support/TestFolders.h"

#include <QtTest>

using namespace Enrolix;

class TestOptionTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- the interval
    void interval_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QString>("saved");
        QTest::newRow("zero") << "0" << true << "5";
        QTest::newRow("three") << "3" << true << "5";
        QTest::newRow("minus ten") << "-10" << true << "5";
        QTest::newRow("4.9") << "4.9" << true << "5";
        QTest::newRow("five stays") << "5" << true << "5";
        QTest::newRow("5.5 stays") << "5.5" << true << "5.5";
        QTest::newRow("30.5 stays") << "30.5" << true << "30.5";
        QTest::newRow("plus sign") << "+45" << true << "+45";
        QTest::newRow("blanks kept") << " 60 " << true << " 60 ";
        QTest::newRow("leading point") << ".5" << true << "5";
        QTest::newRow("trailing point") << "12." << true << "12.";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("blank") << "  " << false << "";
        QTest::newRow("word") << "ten" << false << "";
        QTest::newRow("unit") << "20s" << false << "";
        QTest::newRow("two points") << "1.2.3" << false << "";
        QTest::newRow("sign only") << "-" << false << "";
        QTest::newRow("comma") << "1,5" << false << "";
    }
    void interval()
    {
        QFETCH(QString, typed);
        QFETCH(bool, numeric);
        QFETCH(QString, saved);
        QCOMPARE(isNumericText(typed), numeric);
        const std::optional<QString> result = intervalToSave(typed);
        QCOMPARE(result.has_value(), numeric);
        if (numeric)
            QCOMPARE(*result, saved);
    }

    // --- loading and saving
    void optionTexts_areTheLoadedValuesInBoxOrder()
    {
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        const OptionTexts texts = optionTexts(s);
        QCOMPARE(texts[0], folders.work());
        QCOMPARE(texts[1], folders.pages());
        QCOMPARE(texts[2], s.HTML_Nice_File_Path);
        QCOMPARE(texts[3], s.Training_Coordinator_Name);
        QCOMPARE(texts[4], s.Training_Coordinator_Ext);
        QCOMPARE(texts[5], s.Registration_Attendant_Email);
        QCOMPARE(texts[6], QStringLiteral("600"));
    }

    void save_writesVerbatimInKeyOrder()
    {
        Testing::MemorySettingsStore store;
        const OptionTexts texts{" /srv/work", "/srv/pages", "https://x.example/", "Dana ", "", "att@x.example", "30.5"};
        SaveOptions(store, texts);
        const QList<QPair<QString, QString>> expected{{"Working_Files_Directory", " /srv/work"},
                                                      {"HTML_File_Path", "/srv/pages"},
                                                      {"HTML_Nice_File_Path", "https://x.example/"},
                                                      {"Training_Coordinator_Name", "Dana "},
                                                      {"Training_Coordinator_Ext", ""},
                                                      {"Seconds_Wait_Between_Email_Processing", "30.5"},
                                                      {"RegAttend", "att@x.example"}};
        QCOMPARE(store.writes, expected);
        QCOMPARE(store.values.value(QStringLiteral("options/RegAttend")), QStringLiteral("att@x.example"));
    }

    void save_thenLoad_roundsIntervalAndAddsSeparators()
    {
        Testing::TestFolders folders;
        Testing::MemorySettingsStore store;
        SaveOptions(store,
                    {folders.root() + "w", folders.root() + "p", "https://x.example/c", "N", "E", "a@x", "30.5"});
        Settings s;
        s.LoadSettings(store);
        QCOMPARE(s.Seconds_Wait_Between_Email_Processing, qint16(30));
        QCOMPARE(s.Working_Files_Directory, folders.root() + QStringLiteral("w/"));
        QCOMPARE(s.HTML_Nice_File_Path, QStringLiteral("https://x.example/c/"));
        QCOMPARE(optionTexts(s)[1], folders.root() + QStringLiteral("p/"));
    }
};

QTEST_GUILESS_MAIN(TestOptionTexts)
#include "test_optiontexts.moc"
