#include "events/RegistrationPage.h"
#include "support/Subjects.h"
#include "support/TestFolders.h"

#include <QtTest>

using namespace Enrolix;

namespace {

namespace Subjects = Testing::Subjects;

// The page of event E00042 for the test folders' settings, with the two event cells left open.
QByteArray expectedPage(const QByteArray& information, const QByteArray& dates)
{
    return "<html>\r\n"
           "<head>\r\n"
           "<title>Quillmark</title>\r\n"
           "</head>\r\n"
           "<BODY bgcolor=\"#003366\" link=\"#FF9900\" vlink=\"#FFFF00\" text=\"#FFFFFF\">\r\n"
           "<body>\r\n"
           "<p align=\"center\"><b><font color=\"#FFFFFF\" size=\"7\">Training and Development</font></b></p>\r\n"
           "<p align=\"center\"><font size=\"5\"><u>Automated Event Registration</u></font></p>\r\n"
           "<table border=\"1\" width=\"100%\">\r\n"
           "  <tr>\r\n"
           "    <td width=\"16%\"><b><font size=\"4\">Event Number</font></b></td>\r\n"
           "    <td width=\"84%\">E00042</td>\r\n"
           "  </tr>\r\n"
           "  <tr>\r\n"
           "    <td width=\"16%\"><font size=\"4\"><b>Event </b></font></td>\r\n"
           "    <td width=\"84%\">" +
           information +
           "</td>\r\n"
           "  </tr>\r\n"
           "  <tr>\r\n"
           "    <td width=\"16%\"><b><font size=\"4\">Session Date</font></b></td>\r\n"
           "    <td width=\"84%\">" +
           dates +
           "</td>\r\n"
           "  </tr>\r\n"
           "</table>\r\n"
           "<p>To register for this course please click on <a href=\"mailto:attendant@example.org?subject=" +
           Subjects::kRegister.toUtf8() +
           "&body=E00042\">Sign-up for the course.</a>\r\n"
           "<p>To obtain a list of those currently signed-up for this course click on </a><a "
           "href=\"mailto:attendant@example.org?subject=" +
           Subjects::kAttendeeList.toUtf8() +
           "&body=E00042\">Send me the current list of attendees.</a> \r\n"
           "<p>To remove your name from the sign-up list for this course click on </a><a "
           "href=\"mailto:attendant@example.org?subject=" +
           Subjects::kCancel.toUtf8() +
           "&body=E00042\">Remove my name from the attendee list.</a>\r\n"
           "<p>For all options above an E-mail message will be generated for you.\r\n"
           "<b>Please do not modify the E-mail message; simply click on the &quot;Send&quot; button.</b>&nbsp;\r\n"
           "You will receive a response within a couple of minutes via E-mail.\r\n"
           "The selection process will be done by lottery.  If you are selected, an invitation for this course will "
           "be sent to you via E-mail after the closure of the sign-up period.\r\n"
           "<p>If you are experiencing any difficulties with the registration process,\r\n"
           "please contact the Training Coordinator at Quillmark </p>\r\n"
           "</body>\r\n"
           "</html>\r\n";
}

} // namespace

class TestRegistrationPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- the written file, byte for byte
    void stage_matchesPageByteForByte_data()
    {
        QTest::addColumn<QString>("information");
        QTest::addColumn<QString>("dates");
        QTest::addColumn<QByteArray>("informationCell");
        QTest::addColumn<QByteArray>("datesCell");
        QTest::addColumn<int>("physicalLines");
        QTest::newRow("single lines") << "Fire safety"
                                      << "May 4" << QByteArray("Fire safety") << QByteArray("May 4") << 33;
        QTest::newRow("two-line information")
            << "Fire safety\r\nRoom 12"
            << "May 4" << QByteArray("Fire safety</br>\nRoom 12") << QByteArray("May 4") << 34;
        QTest::newRow("three-line dates") << "Fire safety"
                                          << "May 4\r\nMay 5\r\nMay 6" << QByteArray("Fire safety")
                                          << QByteArray("May 4</br>\nMay 5</br>\nMay 6") << 35;
        QTest::newRow("trailing break") << "Fire safety\r\n"
                                        << "May 4" << QByteArray("Fire safety</br>\n") << QByteArray("May 4") << 34;
        QTest::newRow("html and non-ascii kept")
            << "<i>Erste Hilfe</i> & Ärzte"
            << "1 < 2" << QByteArray("<i>Erste Hilfe</i> & \xc3\x84rzte") << QByteArray("1 < 2") << 33;
    }
    void stage_matchesPageByteForByte()
    {
        QFETCH(QString, information);
        QFETCH(QString, dates);
        QFETCH(QByteArray, informationCell);
        QFETCH(QByteArray, datesCell);
        QFETCH(int, physicalLines);
        Testing::TestFolders folders;
        const Settings s = folders.settings();
        const QString path = folders.pages() + QStringLiteral("E00042.html");
        TextFiles::StagedFile staged = RegistrationPage::stage(path, s, {QStringLiteral("E00042"), information, dates});
        QVERIFY(!QFile::exists(path));
        const FileResult written = staged.commit();
        QVERIFY2(written.ok(), qPrintable(written.description));
        const QByteArray page = folders.read(path);
        QCOMPARE(page, expectedPage(informationCell, datesCell));
        QCOMPARE(page.count('\n'), physicalLines);
        QCOMPARE(page.count("\r\n"), 33);
    }

    // --- settings copied into the page unchanged
    void lines_settingsWithHtml_copiedUnchanged()
    {
        Testing::TestFolders folders;
        Settings s = folders.settings();
        s.Organisation_Name = QStringLiteral("<i>R&D</i> \"Lab\"");
        s.Training_Coordinator_Name = QStringLiteral("<b>Kim</b>");
        s.Training_Coordinator_Ext = QStringLiteral("<a href=\"tel:42\">x42</a>");
        s.Registration_Attendant_Email = QString();
        const QStringList lines = RegistrationPage::lines(s, {"E00007", "Info", "Date"});
        QCOMPARE(lines.at(6),
                 QStringLiteral("<p align=\"center\"><b><font color=\"#FFFFFF\" size=\"7\"><i>R&D</i> \"Lab\""
                                "</font></b></p>"));
        QCOMPARE(lines.at(30), QStringLiteral("please contact the <b>Kim</b> at <a href=\"tel:42\">x42</a> </p>"));
        QCOMPARE(lines.at(22), QStringLiteral("<p>To register for this course please click on <a href=\"mailto:"
                                              "?subject=") +
                                   Subjects::kRegister + QStringLiteral("&body=E00007\">Sign-up for the course.</a>"));
    }

    // --- failure
    void stage_missingPageFolder_failsWithoutFile()
    {
        Testing::TestFolders folders;
        const QString path = folders.root() + QStringLiteral("unplugged/E00001.html");
        TextFiles::StagedFile staged = RegistrationPage::stage(path, folders.settings(), {"E00001", "Info", "Date"});
        QVERIFY(!staged.result().ok());
        QVERIFY(!staged.result().description.isEmpty());
        QVERIFY(!staged.commitNew().ok());
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestRegistrationPage)
#include "test_registrationpage.moc"
