#include "events/EventClosing.h"
#include "events/EventMessages.h"
#include "support/OpenEvent.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QtTest>

using namespace Enrolix;

namespace {

const QByteArray kSignUps = "Ann Archer\r\nBob Baker\r\n";
const QByteArray kDescription = "Safety in the workshop\r\nMay 4, 9:00 to 12:00\r\n";
const QByteArray kOpenPage = "<html>open page</html>\r\n";

// The closed page of E00003 holding kDescription, as the bytes on disk.
const QByteArray kClosedPage = "<html>\r\n"
                               "<head>\r\n"
                               "<title>Enrolix</title>\r\n"
                               "</head>\r\n"
                               "<BODY bgcolor=\"#003366\" link=\"#FF9900\" vlink=\"#FFFF00\" text=\"#FFFFFF\">\r\n"
                               "<body>\r\n"
                               "<p align=\"center\"><b><font color=\"#FFFFFF\" size=\"7\">Enrolix</font></b></p>\r\n"
                               "<p align=\"center\"><font size=\"5\"><u>Automated Event Registration</u></font></p>\r\n"
                               "<table border=\"1\" width=\"100%\">\r\n"
                               "  <tr>\r\n"
                               "    <td width=\"16%\"><b><font size=\"4\">Event Number</font></b></td>\r\n"
                               "    <td width=\"84%\">E00003</td>\r\n"
                               "  </tr>\r\n"
                               "  <tr>\r\n"
                               "    <td width=\"16%\"><b><font size=\"4\">Event Info</font></b></td>\r\n"
                               "    <td width=\"84%\">Safety in the workshop</br>\nMay 4, 9:00 to 12:00</br>\n</td>\r\n"
                               "  </tr>\r\n"
                               "</table>\r\n"
                               "<p>This event is now closed for registration.</p></p>\r\n"
                               " \r\n";

} // namespace

class TestEventClosing : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestFolders> m_folders;
    Settings m_settings;
    QString m_record;
    QString m_description;
    QString m_page;

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<Testing::TestFolders>();
        m_settings = m_folders->settings();
        const Testing::OpenEvent event =
            Testing::OpenEvent::create(*m_folders, QStringLiteral("E00003"), kSignUps, kDescription);
        m_record = event.listPath();
        m_description = event.descriptionPath();
        m_page = m_folders->pages() + QStringLiteral("E00003.html");
        m_folders->write(m_page, kOpenPage);
    }

    // --- closing
    void close_movesFilesUnchanged_andWritesClosedPage()
    {
        const CloseResult result = CloseEvent(m_settings, QStringLiteral("E00003"));
        QVERIFY(result.closed());
        QCOMPARE(result.status, CloseResult::Status::Closed);
        QVERIFY(!QFile::exists(m_record));
        QVERIFY(!QFile::exists(m_description));
        QCOMPARE(m_folders->read(m_record + QStringLiteral(".cl")), kSignUps);
        QCOMPARE(m_folders->read(m_description + QStringLiteral(".cl")), kDescription);
        QCOMPARE(m_folders->read(m_page), kClosedPage);
    }

    void close_addressesBesideTheList_moveWithIt()
    {
        const QString addresses = Testing::OpenEvent(*m_folders, QStringLiteral("E00003")).addressPath();
        const QByteArray kept = "Ann Archer\tann@example.org\r\n";
        m_folders->write(addresses, kept);
        QVERIFY(CloseEvent(m_settings, QStringLiteral("E00003")).closed());
        QVERIFY(!QFile::exists(addresses));
        QCOMPARE(m_folders->read(addresses + QStringLiteral(".cl")), kept);
        QCOMPARE(m_folders->read(m_record + QStringLiteral(".cl")), kSignUps);
    }

    void close_missingPage_isCreated()
    {
        QVERIFY(QFile::remove(m_page));
        QVERIFY(CloseEvent(m_settings, QStringLiteral("E00003")).closed());
        QCOMPARE(m_folders->read(m_page), kClosedPage);
    }

    void closedPage_eachCarriageReturnBecomesBreak_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("cell");
        QTest::newRow("two lines") << "Welding\r\nJune 1\r\n"
                                   << "    <td width=\"84%\">Welding</br>\nJune 1</br>\n</td>";
        QTest::newRow("breaks inside texts")
            << "Line one\r\nline two\r\nJune 1\r\n"
            << "    <td width=\"84%\">Line one</br>\nline two</br>\nJune 1</br>\n</td>";
        QTest::newRow("lone feed kept") << "A\nB"
                                        << "    <td width=\"84%\">A\nB</td>";
        QTest::newRow("empty") << ""
                               << "    <td width=\"84%\"></td>";
    }
    void closedPage_eachCarriageReturnBecomesBreak()
    {
        QFETCH(QString, description);
        QFETCH(QString, cell);
        const QStringList lines = closedPageLines(QStringLiteral("E00012"), description);
        QCOMPARE(lines.size(), 20);
        QCOMPARE(lines.at(15), cell);
        QCOMPARE(lines.at(11), QStringLiteral("    <td width=\"84%\">E00012</td>"));
        QCOMPARE(lines.last(), QStringLiteral(" "));
    }

    // --- refusals: nothing changes and the cause is named
    void close_foreseeableFailure_changesNothing_data()
    {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("description missing")
            << "rm E00003.scn"
            << "Event E00003 was not closed.\rIts description file <work>E00003.scn is "
               "missing or cannot be read.\rNothing has been changed; the event is "
               "still open.";
        QTest::newRow("record missing") << "rm E00003.sc"
                                        << "Event E00003 was not closed.\rIts sign-up file <work>E00003.sc does not "
                                           "exist.\rNothing has been changed; the event is still open.";
        QTest::newRow("record closed name taken") << "add E00003.sc.cl"
                                                  << "Event E00003 was not closed.\rA file named <work>E00003.sc.cl "
                                                     "already exists.\rNothing has been changed; "
                                                     "the event is still open.";
        QTest::newRow("description closed name taken")
            << "add E00003.scn.cl"
            << "Event E00003 was not closed.\rA file named <work>E00003.scn.cl already exists.\rNothing has been "
               "changed; the event is still open.";
        QTest::newRow("addresses closed name taken")
            << "addresses taken"
            << "Event E00003 was not closed.\rA file named <work>E00003.sca.cl already exists.\rNothing has been "
               "changed; the event is still open.";
        QTest::newRow("page folder missing")
            << "no pages"
            << "Event E00003 was not closed.\rThe page folder <pages> does not exist or cannot be written to.\rNothing "
               "has been changed; the event is still open.";
    }
    void close_foreseeableFailure_changesNothing()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, expectedText);
        const QString work = m_folders->work();
        if (prepare.startsWith(QStringLiteral("rm ")))
            QVERIFY(QFile::remove(work + prepare.mid(3)));
        else if (prepare.startsWith(QStringLiteral("add ")))
            m_folders->write(work + prepare.mid(4), "older closed event\r\n");
        else if (prepare == QLatin1String("addresses taken")) {
            m_folders->write(work + QStringLiteral("E00003.sca"), "Ann Archer\tann@example.org\r\n");
            m_folders->write(work + QStringLiteral("E00003.sca.cl"), "older closed event\r\n");
        } else
            m_settings.HTML_File_Path = m_folders->root() + QStringLiteral("unplugged/");

        const QMap<QString, QByteArray> before = m_folders->snapshot();
        const CloseResult result = CloseEvent(m_settings, QStringLiteral("E00003"));
        QCOMPARE(result.status, CloseResult::Status::Refused);
        QCOMPARE(result.report.title, QStringLiteral("Quillmark"));
        QCOMPARE(result.report.buttons, QList<Button>{Button::Ok});
        expectedText.replace(QStringLiteral("<work>"), work)
            .replace(QStringLiteral("<pages>"), m_settings.HTML_File_Path);
        QCOMPARE(result.report.text, expectedText);
        QCOMPARE(m_folders->snapshot(), before);
    }

    // --- the closed page is written before anything moves
    void close_pageCannotBeWritten_isFoundBeforeAnythingMoves()
    {
        QVERIFY(QFile::remove(m_page));
        QVERIFY(QDir().mkpath(m_page)); // a folder where the page should go
        const QMap<QString, QByteArray> before = m_folders->snapshot();
        const CloseResult result = CloseEvent(m_settings, QStringLiteral("E00003"));
        QCOMPARE(result.status, CloseResult::Status::Refused);
        QCOMPARE(m_folders->snapshot(), before);
        QVERIFY(QFileInfo(m_page).isDir());
        const QStringList lines = result.report.text.split(QLatin1Char('\r'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.first(), QStringLiteral("Event E00003 was not closed."));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("The closed page ") + m_page +
                                       QStringLiteral(" could not be written: ")));
        QVERIFY(lines.at(1).size() > m_page.size() + 40); // the reason is named
        QCOMPARE(lines.at(2), QStringLiteral("Nothing has been changed; the event is still open."));
    }

    void close_strayRecordName_neverTouchesAnotherEventsPage()
    {
        const QString stray = QStringLiteral("E00003 copy");
        Testing::OpenEvent::create(*m_folders, stray, "Cleo\r\n", "Copy\r\n");
        QVERIFY(CloseEvent(m_settings, stray).closed());
        QCOMPARE(m_folders->read(m_page), kOpenPage);
        QVERIFY(m_folders->read(m_folders->pages() + stray + QStringLiteral(".html"))
                    .contains("<td width=\"84%\">E00003</td>"));
        QVERIFY(QFile::exists(m_record));
    }

    void close_secondMoveFails_firstIsPutBack()
    {
        // Names at the file system's length limit: the sign-up file's closed name still fits,
        // the description file's is one character too long, so only the second move fails.
        const QString event = QStringLiteral("E") + QString(248, QLatin1Char('x'));
        const Testing::OpenEvent files = Testing::OpenEvent::create(*m_folders, event, kSignUps, kDescription);
        const QMap<QString, QByteArray> before = m_folders->snapshot();
        const CloseResult result = CloseEvent(m_settings, event);
        QCOMPARE(result.status, CloseResult::Status::Refused);
        const QStringList lines = result.report.text.split(QLatin1Char('\r'));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).startsWith(files.descriptionPath() + QStringLiteral(" could not be renamed: ")));
        QCOMPARE(lines.at(2), QStringLiteral("Nothing has been changed; the event is still open."));
        QCOMPARE(m_folders->snapshot(), before);
    }

    // --- the half-closed report names both files
    void halfClosedReport_namesBothFiles()
    {
        const Message report = EventMessages::closeHalfDone(QStringLiteral("E00003"), QStringLiteral("/w/E00003.sc"),
                                                            QStringLiteral("/w/E00003.scn"), QStringLiteral("busy"));
        QCOMPARE(report.text, QStringLiteral("Event E00003 is only partly closed.\r/w/E00003.scn could not be renamed: "
                                             "busy\r/w/E00003.sc has already been renamed and could not be put back.\r"
                                             "The event no longer appears in the list, but its page still offers "
                                             "registration.\rRename the files by hand to finish or undo the closing."));
        QCOMPARE(report.title, QStringLiteral("Quillmark"));
    }
};

QTEST_GUILESS_MAIN(TestEventClosing)
#include "test_eventclosing.moc"
