// The attendant window running real passes against the test IMAP server and SMTP sink.
#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "admin/frmSure.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "events/EventMessages.h"
#include "mail/ProfileKeys.h"
#include "support/Controls.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/ServerBackend.h"
#include "support/Subjects.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace Enrolix;
using Testing::control;
using Testing::OpenEvent;
namespace Subjects = Testing::Subjects;

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
        const OpenEvent event = OpenEvent::create(test.folders, QStringLiteral("E00012"), {}, "Safety\r\nMay 4\r\n");
        server.deliver(Testing::requestMail(Subjects::kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Archer"),
                                            QStringLiteral("ann@example.org")));
        server.deliver(Testing::requestMail(Subjects::kAttendeeList, QStringLiteral("E00012"),
                                            QStringLiteral("Bob Baker"), QStringLiteral("bob@example.org")));

        Windows windows(test.context);
        frmAutoAttend& window = windows.attendant();
        QCOMPARE(control<QLineEdit>(window, "Text1")->text(), QStringLiteral("No Requests Processed"));
        control<QPushButton>(window, "cmdStart")->click();
        control<QPushButton>(window, "cmdProcess")->click();
        window.countdown().tick();

        QTRY_VERIFY_WITH_TIMEOUT(!windows.passRunning(), 20000);
        QCOMPARE(control<QLineEdit>(window, "Text1")->text(), QStringLiteral("2"));
        QCOMPARE(control<QLineEdit>(window, "Text5")->text(), QStringLiteral("Connected"));
        QCOMPARE(control<QLineEdit>(window, "Text4")->text(), QStringLiteral("0"));
        QVERIFY(window.countdown().timerEnabled());
        QCOMPARE(event.list(), QByteArray("Ann Archer\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(server.replies().size(), 2, 10000);
        QCOMPARE(server.unreadCount(), 0);
    }

    void closeWhileAPassAppends_isRefused_andNeverSplitsTheList()
    {
        Testing::TestContext test;
        Testing::ServerBackend server(test.folders.root() + QStringLiteral("mail/"));
        if (!server.problem().isEmpty())
            QFAIL(qPrintable(server.problem()));
        server.configure(test.store, SettingsKeys::kMailProfileName);
        // A server 200 ms away: the pass holds the working folder for a few seconds.
        const QStringList delay{QStringLiteral("--delay-ms"), QStringLiteral("100")};
        Testing::FaultProxy imap(server.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt(), delay);
        Testing::FaultProxy smtp(server.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt(), delay);
        QVERIFY(imap.port() && smtp.port());
        test.store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                         QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(imap.port()));
        test.store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox,
                         QStringLiteral("smtp://127.0.0.1:%1").arg(smtp.port()));
        const OpenEvent event =
            OpenEvent::create(test.folders, QStringLiteral("E00003"), "Bob Baker\r\n", "Safety\r\nMay 4\r\n");
        server.deliver(Testing::requestMail(Subjects::kRegister, QStringLiteral("E00003"), QStringLiteral("Ann Archer"),
                                            QStringLiteral("ann@example.org")));

        Windows windows(test.context);
        frmAutoAttend& window = windows.attendant();
        control<QPushButton>(window, "cmdStart")->click();
        control<QPushButton>(window, "cmdProcess")->click();
        window.countdown().tick();
        QVERIFY(windows.passRunning());
        windows.showMain();
        control<QListWidget>(windows.main(), "lstEvent")
            ->setCurrentItem(control<QListWidget>(windows.main(), "lstEvent")
                                 ->findItems(QStringLiteral("E00003"), Qt::MatchExactly)
                                 .first());
        control<QAction>(windows.main(), "mnuClose")->trigger();
        test.prompter.expect(EventMessages::workingFolderBusy(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(windows.sure(), "cmdYes")->click();
        ENROLIX_VERIFY_BOXES(test.prompter);
        QTRY_VERIFY_WITH_TIMEOUT(!windows.passRunning(), 30000);

        // The pass's append went to the list, which stayed open and whole.
        QCOMPARE(event.list(), QByteArray("Bob Baker\r\nAnn Archer\r\n"));
        QVERIFY(!QFile::exists(event.listPath() + QStringLiteral(".cl")));
        QTRY_COMPARE_WITH_TIMEOUT(server.replies().size(), 1, 10000);
        QCOMPARE(server.replySubjects(), QStringList{Subjects::kRegistered});
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
        control<QPushButton>(window, "cmdProcess")->click();
        window.countdown().tick();
        QTRY_VERIFY_WITH_TIMEOUT(!windows.passRunning(), 20000);
        QCOMPARE(control<QLineEdit>(window, "Text4")->text(), QStringLiteral(" 1"));
        QCOMPARE(control<QLineEdit>(window, "Text5")->text(), QStringLiteral("Not Connected"));
        QCOMPARE(control<QLineEdit>(window, "Text1")->text(), QStringLiteral("No Requests Processed"));
    }
};

QTEST_MAIN(TestAttendantServers)
#include "test_attendant_servers.moc"
