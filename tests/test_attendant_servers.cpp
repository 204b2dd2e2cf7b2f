// The attendant window running real passes against the test IMAP server and SMTP sink.
#include "admin/Windows.h"
#include "attendant/Countdown.h"
#include "attendant/RequestProtocol.h"
#include "attendant/frmAutoAttend.h"
#include "settings/SettingsKeys.h"
#include "support/MailSamples.h"
#include "support/ServerBackend.h"
#include "support/TestContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Enrolix;

class TestAttendantServers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void processNow_answersRequests_andCountsReplies()
    {
        Testing::TestContext test;
        Testing::ServerBackend server(test.folders.root() + QStringLiteral("mail/"));
        if (!server.problem().isEmpty())
            QFAIL(qPrintable(server.problem()));
        server.configure(test.store, SettingsKeys::kMailProfileName);
        test.folders.write(test.folders.work() + QStringLiteral("E00012.sc"), "");
        test.folders.write(test.folders.work() + QStringLiteral("E00012.scn"), "Safety\r\nMay 4\r\n");
        server.deliver(Testing::requestMail(RequestProtocol::kRegisterSubject, QStringLiteral("E00012"),
                                            QStringLiteral("Ann Archer"), QStringLiteral("ann@example.org")));
        server.deliver(Testing::requestMail(RequestProtocol::kAttendeeListSubject, QStringLiteral("E00012"),
                                            QStringLiteral("Bob Baker"), QStringLiteral("bob@example.org")));

        Windows windows(test.context);
        frmAutoAttend& window = windows.attendant();
        QCOMPARE(window.Text1->text(), QStringLiteral("No Requests Processed"));
        window.cmdStart->click();
        window.cmdProcess->click();
        window.countdown().tick();

        QCOMPARE(window.Text1->text(), QStringLiteral("2"));
        QCOMPARE(window.Text5->text(), QStringLiteral("Connected"));
        QCOMPARE(window.Text4->text(), QStringLiteral("0"));
        QVERIFY(window.countdown().timerEnabled());
        QCOMPARE(test.folders.read(test.folders.work() + QStringLiteral("E00012.sc")), QByteArray("Ann Archer\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(server.replies().size(), 2, 10000);
        QCOMPARE(server.unreadCount(), 0);
    }

    void unreachableServer_countsAConnectionFailure()
    {
        Testing::TestContext test;
        test.store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                         QStringLiteral("imap://127.0.0.1:9/INBOX"));
        test.store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox,
                         QStringLiteral("smtp://127.0.0.1:9"));
        Windows windows(test.context);
        frmAutoAttend& window = windows.attendant();
        window.cmdProcess->click();
        window.countdown().tick();
        QCOMPARE(window.Text4->text(), QStringLiteral(" 1"));
        QCOMPARE(window.Text5->text(), QStringLiteral("Not Connected"));
        QCOMPARE(window.Text1->text(), QStringLiteral("No Requests Processed"));
    }
};

QTEST_MAIN(TestAttendantServers)
#include "test_attendant_servers.moc"
