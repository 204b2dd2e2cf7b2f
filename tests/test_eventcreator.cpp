#include "events/EventCreator.h"
#include "events/EventMessages.h"
#include "support/ClosedEventFiles.h"
#include "support/OpenEvent.h"
#include "support/TestFolders.h"

#include <QtTest>

using namespace Enrolix;

namespace {

const QByteArray kMissing("(missing)");

} // namespace

class TestEventCreator : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestFolders> m_folders;
    Settings m_settings;

    QByteArray work(const char* name) const { return m_folders->read(m_folders->work() + QString::fromLatin1(name)); }
    QByteArray page(const char* name) const { return m_folders->read(m_folders->pages() + QString::fromLatin1(name)); }
    QByteArray counter() const { return m_folders->read(m_settings.Counter_File_Path); }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<Testing::TestFolders>();
        m_settings = m_folders->settings();
    }

    // --- success
    void create_writesRecordPageAndDescription_advancesCounter()
    {
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");
        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("Fire safety\r\nRoom 12"), QStringLiteral("May 4"));
        QVERIFY2(outcome.file.ok(), qPrintable(outcome.file.description));
        QCOMPARE(outcome.event, QStringLiteral("E00007"));
        QCOMPARE(work("E00007.sc"), QByteArray());
        QCOMPARE(work("E00007.scn"), QByteArray("Fire safety\r\nRoom 12\r\nMay 4\r\n"));
        QVERIFY(page("E00007.html").contains("    <td width=\"84%\">Fire safety</br>\nRoom 12</td>\r\n"));
        QVERIFY(page("E00007.html").endsWith("</html>\r\n"));
        QCOMPARE(counter(), QByteArray("8\r\n"));
        // No temporary file stays behind.
        QCOMPARE(QDir(m_folders->work()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Auto_Counter.txt", "E00007.sc", "E00007.scn"}));
        QCOMPARE(QDir(m_folders->pages()).entryList(QDir::Files | QDir::Hidden), QStringList{"E00007.html"});
    }

    void create_twice_givesConsecutiveNumbers()
    {
        m_folders->write(m_settings.Counter_File_Path, "1\r\n");
        const EventCreator creator(m_settings);
        QCOMPARE(creator.create(QStringLiteral("Safety"), QStringLiteral("May 4")).event, QStringLiteral("E00001"));
        QCOMPARE(creator.create(QStringLiteral("Safety"), QStringLiteral("May 5")).event, QStringLiteral("E00002"));
        QCOMPARE(work("E00001.scn"), QByteArray("Safety\r\nMay 4\r\n"));
        QCOMPARE(work("E00002.scn"), QByteArray("Safety\r\nMay 5\r\n"));
        QCOMPARE(counter(), QByteArray("3\r\n"));
    }

    void create_neverTouchesFilesOfExistingEvents()
    {
        // A counter file recreated with "1" in a folder that still holds events.
        m_folders->write(m_settings.Counter_File_Path, "1\r\n");
        Testing::OpenEvent::create(*m_folders, QStringLiteral("E00001"), "Ann\r\n", "Old\r\nJan 1\r\n");
        Testing::writeClosedEvent(*m_folders, QStringLiteral("E00002"), {QStringLiteral("Bob")}, {},
                                  "Closed\r\nFeb 1\r\n");
        m_folders->write(m_folders->pages() + QStringLiteral("E00001.html"), "old page");
        m_folders->write(m_folders->pages() + QStringLiteral("E00002.html"), "closed page");
        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("New"), QStringLiteral("Mar 1"));
        QVERIFY(outcome.file.ok());
        QCOMPARE(outcome.event, QStringLiteral("E00003"));
        QCOMPARE(work("E00001.sc"), QByteArray("Ann\r\n"));
        QCOMPARE(work("E00001.scn"), QByteArray("Old\r\nJan 1\r\n"));
        QCOMPARE(work("E00002.sc.cl"), QByteArray("Bob\r\n"));
        QCOMPARE(work("E00002.scn.cl"), QByteArray("Closed\r\nFeb 1\r\n"));
        QCOMPARE(page("E00001.html"), QByteArray("old page"));
        QCOMPARE(page("E00002.html"), QByteArray("closed page"));
        QCOMPARE(work("E00002.sc"), kMissing);
        QCOMPARE(counter(), QByteArray("4\r\n"));
    }

    // --- failures and what they leave behind
    void counterFailure_writesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("junk") << QByteArray("seven\r\n") << true;
        QTest::newRow("negative") << QByteArray("-3\r\n") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("last number used") << QByteArray("32767\r\n") << true;
    }
    void counterFailure_writesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (present)
            m_folders->write(m_settings.Counter_File_Path, content);
        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("Info"), QStringLiteral("Date"));
        QVERIFY(!outcome.file.ok());
        QVERIFY(!outcome.file.description.isEmpty());
        QCOMPARE(outcome.event, QString());
        QCOMPARE(counter(), present ? content : kMissing);
        QCOMPARE(QDir(m_folders->work()).entryList(QDir::Files),
                 present ? QStringList{"Auto_Counter.txt"} : QStringList{});
        QCOMPARE(QDir(m_folders->pages()).entryList(QDir::Files), QStringList{});
    }

    void workingFolderGone_leavesCounterAdvancedOnly()
    {
        // The counter file is found, but the working folder named in the settings is gone.
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");
        m_settings.Working_Files_Directory = m_folders->root() + QStringLiteral("unplugged/");
        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("Info"), QStringLiteral("Date"));
        QVERIFY(!outcome.file.ok());
        QCOMPARE(outcome.event, QStringLiteral("E00007"));
        QCOMPARE(counter(), QByteArray("8\r\n"));
        QVERIFY(!QFile::exists(m_settings.Working_Files_Directory + QStringLiteral("E00007.sc")));
        QCOMPARE(page("E00007.html"), kMissing);
    }

    // A step after the counter fails: the number is skipped, and nothing else of it remains.
    // A name taken by a link that leads nowhere is not seen as an event's file by the counter,
    // but no file of the new event may replace it.
    void laterStepFails_leavesNoFileOfTheNumber_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("linkTarget");
        QTest::newRow("page folder gone") << QString() << QString();
        QTest::newRow("description's link into a folder that is gone") << "work/E00007.scn"
                                                                       << "unplugged/E00007.scn";
        QTest::newRow("description name taken") << "work/E00007.scn"
                                                << "elsewhere/E00007.scn";
        QTest::newRow("page name taken") << "pages/E00007.html"
                                         << "elsewhere/E00007.html";
        QTest::newRow("sign-up list name taken") << "work/E00007.sc"
                                                 << "elsewhere/E00007.sc";
    }
    void laterStepFails_leavesNoFileOfTheNumber()
    {
        QFETCH(QString, taken);
        QFETCH(QString, linkTarget);
        const QString root = m_folders->root();
        QVERIFY(QDir().mkpath(root + QStringLiteral("elsewhere")));
        if (taken.isEmpty())
            m_settings.HTML_File_Path = root + QStringLiteral("unplugged/");
        else
            QVERIFY(QFile::link(root + linkTarget, root + taken));
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");
        QMap<QString, QByteArray> expected = m_folders->snapshot();
        expected.insert(QStringLiteral("work/Auto_Counter.txt"), "8\r\n");

        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("Info"), QStringLiteral("Date"));
        QVERIFY(!outcome.file.ok());
        QVERIFY(!outcome.file.description.isEmpty());
        QCOMPARE(outcome.event, QStringLiteral("E00007"));
        QCOMPARE(m_folders->snapshot(), expected);
    }

    // --- the catalogue
    void messages_matchWordForWord()
    {
        const Message empty = EventMessages::provideNameAndDate();
        QCOMPARE(empty.title, QStringLiteral("Quillmark"));
        QCOMPARE(empty.text, QStringLiteral("Please provide event name and date."));
        QCOMPARE(empty.buttons, QList<Button>{Button::Ok});

        const Message failed = EventMessages::createFailed(FileResult{5, QStringLiteral("No such file or directory")});
        QCOMPARE(failed.title, QStringLiteral("Error5: No such file or directory"));
        QCOMPARE(failed.text, QStringLiteral("Failed to create a course file.\rPotential Causes:\r- Network drive not "
                                             "available.\r- You don't have permissions to create files in the "
                                             "specified folder.\r- The directory selected in Options is not "
                                             "available."));
        QCOMPARE(failed.buttons, QList<Button>{Button::Ok});
    }
};

QTEST_GUILESS_MAIN(TestEventCreator)
#include "test_eventcreator.moc"
