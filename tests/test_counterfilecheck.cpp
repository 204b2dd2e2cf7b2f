#include "settings/CounterFileCheck.h"
#include "settings/SettingsMessages.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFolders.h"

#include <QtTest>

using namespace Enrolix;

Q_DECLARE_METATYPE(Enrolix::Button)

class TestCounterFileCheck : public QObject
{
    Q_OBJECT

    Testing::ScriptedPrompter m_prompter;

private Q_SLOTS:
    void init() { m_prompter.reset(); }
    void cleanup() { ENROLIX_VERIFY_BOXES(m_prompter); }

    void existingFile_noDialog_untouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("seventeen") << QByteArray("17\r\n");
        QTest::newRow("empty") << QByteArray();
    }
    void existingFile_noDialog_untouched()
    {
        QFETCH(QByteArray, content);
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        folders.write(s.Counter_File_Path, content);
        CheckCounterFile(s, m_prompter);
        QCOMPARE(folders.read(s.Counter_File_Path), content);
    }

    void missing_yes_createsThreeBytes_data()
    {
        QTest::addColumn<Button>("onCreating");
        QTest::newRow("ok") << Button::Ok;
        QTest::newRow("cancel still creates") << Button::Cancel;
    }
    void missing_yes_createsThreeBytes()
    {
        QFETCH(Button, onCreating);
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        m_prompter.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::Yes);
        m_prompter.expect(SettingsMessages::creatingFile(), Testing::DefaultButton{Button::Ok}, onCreating);
        CheckCounterFile(s, m_prompter);
        QCOMPARE(folders.read(s.Counter_File_Path), QByteArray("1\r\n"));
    }

    void missing_no_warnsAndCreatesNothing()
    {
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        m_prompter.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::No);
        m_prompter.expect(SettingsMessages::errorNotCorrected(), Testing::DefaultButton{Button::Ok}, Button::Cancel);
        CheckCounterFile(s, m_prompter);
        QVERIFY(!QFile::exists(s.Counter_File_Path));
    }

    void missingFolder_yes_reportsAndCreatesNoFolder()
    {
        Testing::TestFolders folders;
        Settings s = folders.settings();
        s.Working_Files_Directory = folders.root() + QStringLiteral("absent/");
        s.Counter_File_Path = s.Working_Files_Directory + QStringLiteral("Auto_Counter.txt");
        m_prompter.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::Yes);
        m_prompter.expect(SettingsMessages::creatingFile(), Testing::DefaultButton{Button::Ok}, Button::Ok);
        m_prompter.expect(SettingsMessages::errorCreatingFile(), Testing::DefaultButton{Button::Ok}, Button::Ok);
        CheckCounterFile(s, m_prompter);
        QVERIFY(!QFileInfo::exists(s.Working_Files_Directory));
    }

    void prepareDefaultDataFolder_createsFolderWithCounterOnce()
    {
        Testing::TestFolders folders; // points XDG_DATA_HOME into its own tree
        const QString data = folders.root() + QStringLiteral("data/enrolix/");
        QVERIFY(prepareDefaultDataFolder());
        QCOMPARE(folders.read(data + QStringLiteral("Auto_Counter.txt")), QByteArray("1\r\n"));
        // An existing folder is left alone, whatever its counter says or lacks.
        folders.write(data + QStringLiteral("Auto_Counter.txt"), "9\r\n");
        QVERIFY(prepareDefaultDataFolder());
        QCOMPARE(folders.read(data + QStringLiteral("Auto_Counter.txt")), QByteArray("9\r\n"));
        QFile::remove(data + QStringLiteral("Auto_Counter.txt"));
        QVERIFY(prepareDefaultDataFolder());
        QVERIFY(!QFile::exists(data + QStringLiteral("Auto_Counter.txt")));
    }

    void dialogs_textsTitlesButtons()
    {
        QCOMPARE(SettingsMessages::noCounterFound(), (Message{"No Auto Counter Found",
                                                              "No Autocounter file found! Create?",
                                                              {Button::Yes, Button::No},
                                                              Button::Yes}));
        QCOMPARE(SettingsMessages::errorNotCorrected().text,
                 QStringLiteral("You will not be able to create new events"));
        QCOMPARE(SettingsMessages::errorNotCorrected().title, QStringLiteral("Error not corrected"));
        QCOMPARE(SettingsMessages::creatingFile().buttons, (QList<Button>{Button::Ok, Button::Cancel}));
        QCOMPARE(SettingsMessages::errorCreatingFile().title, QStringLiteral("Error Creating File"));
        QCOMPARE(SettingsMessages::errorCreatingFile().text,
                 QStringLiteral("No access to working files path selected"));
    }
};

QTEST_GUILESS_MAIN(TestCounterFileCheck)
#include "test_counterfilecheck.moc"
