// enrolix-attendant as a coordinator runs it: on a fresh data folder, against a dead server,
// as a service stopped by a signal, beside another attendant on the same folder and mailbox,
// and after a pass that was killed while it held the working folder.
#include "events/WorkingFolderLock.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"
#include "support/SilentServer.h"
#include "support/Subjects.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

using namespace Enrolix;
using namespace Enrolix::Testing;
using namespace Enrolix::Testing::Subjects;

namespace {

const QString kAttendant = QStringLiteral(ENROLIX_ATTENDANT);

// The attendant with the test's own XDG folders (TestFolders sets them for this process).
ChildProcess::Ended runAttendant(const QStringList& arguments, int timeoutMs = 60000)
{
    return ChildProcess::run(kAttendant, arguments, timeoutMs);
}

} // namespace

class TestAttendantService : public QObject
{
    Q_OBJECT

private:
    // The profile, in the settings file the attendant reads, pointing at a mail backend.
    static void useMail(const MailBackend& backend, const TestFolders& folders)
    {
        PassRig::writeSettingsFile(folders, backend);
        IniSettingsStore().write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QStringLiteral("5"));
    }
    // The event E00001, the profile pointing at the backend, and count registrations for the event
    // from "Person i" <pi@example.org> in its inbox.
    static void registrationsFor(MailBackend& backend, const TestFolders& folders, int count)
    {
        useMail(backend, folders);
        OpenEvent::create(folders, QStringLiteral("E00001"));
        for (int i = 0; i < count; ++i)
            backend.deliver(requestMail(kRegister, QStringLiteral("E00001"), QStringLiteral("Person %1").arg(i),
                                        QStringLiteral("p%1@example.org").arg(i)));
    }
    // Every registrant got one reply, and it is that of a first registration.
    static void expectOneFirstReplyEach(const MailBackend& backend, int count)
    {
        QMap<QString, QStringList> subjects;
        for (const QByteArray& raw : backend.replies())
            subjects[recipientOf(raw).address].append(MimeReader::read(raw).subject);
        QCOMPARE(subjects.size(), count);
        for (auto it = subjects.cbegin(); it != subjects.cend(); ++it)
            QCOMPARE(it.value(), QStringList{kRegistered});
    }

    // The attendant with its inbox on a server that never answers, once it holds the working
    // folder while it waits for that server.
    static bool startWaitingForASilentServer(ChildProcess& attendant, const TestFolders& folders,
                                             const SilentServer& silent)
    {
        IniSettingsStore store;
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                    QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(silent.port()));
        return attendant.start() &&
               QTest::qWaitFor([&folders] { return QFile::exists(folders.work() + WorkingFolderLock::kFileName); });
    }

private Q_SLOTS:
    // The command line
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("printed");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: enrolix-attendant [--once]";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "enrolix-attendant " ENROLIX_VERSION;
        QTest::newRow("unknown") << QStringList{"--twice"} << 2 << "unknown argument --twice";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        TestFolders folders;
        const ChildProcess::Ended run = runAttendant(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.output()).contains(printed), run.output().constData());
    }

    // One pass
    void once_onAFreshDataFolder_answersAMailDroppedIntoTheInbox()
    {
        TestFolders folders;
        const QString data = folders.root() + QStringLiteral("data/enrolix/");
        QVERIFY(QDir().mkpath(data + QStringLiteral("mail/inbox/new")));
        const OpenEvent event = OpenEvent::create(data, QStringLiteral("E00001"));
        folders.write(
            data + QStringLiteral("mail/inbox/new/1.dropped"),
            requestMail(kRegister, QStringLiteral("E00001"), QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        const ChildProcess::Ended run = runAttendant({QStringLiteral("--once")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.errText(), QStringLiteral("pass: 1 replies sent, 0 passed over, 0 left for a later pass\n"));
        QCOMPARE(event.list(), QByteArray("Ann\r\n"));
        QCOMPARE(QDir(data + QStringLiteral("mail/outbox/new")).entryList(QDir::Files).size(), 1);
    }

    void once_onADeadImapPort_saysWhyAndExits1Within30Seconds()
    {
        TestFolders folders;
        int dead = 0;
        {
            const SilentServer closed;
            dead = closed.port();
        }
        IniSettingsStore store;
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                    QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(dead));
        const ChildProcess::Ended run = runAttendant({QStringLiteral("--once")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errText().startsWith(
                     QStringLiteral("pass: not connected: imap://127.0.0.1:%1: host unreachable").arg(dead)),
                 run.err.constData());
        QVERIFY2(run.ms < 30000, qPrintable(QString::number(run.ms)));
    }

    // A server that refuses replies: a refusal of the profile leaves every mail unread and fails
    // the pass, a refused mailbox gives up its mail alone, and nobody else goes unanswered.
    void once_againstARefusingSmtpServer_losesNoRequest_data()
    {
        QTest::addColumn<QStringList>("rules");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QStringList>("answered");
        QTest::addColumn<int>("unread");
        QTest::addColumn<int>("listedAtLeast");
        const QString refuses = QStringLiteral("pass: not connected: %1: the server refuses to send mail: ");
        QTest::newRow("relaying denied, 5.7.1")
            << QStringList{"RCPT * 554 5.7.1 Relay access denied"} << 1
            << refuses + QStringLiteral("554 5.7.1 Relay access denied") << QStringList() << 5 << 1;
        QTest::newRow("sign-on wanted for the sender, 530")
            << QStringList{"MAIL * 530 5.7.0 Authentication required"} << 1
            << refuses + QStringLiteral("530 5.7.0 Authentication required") << QStringList() << 5 << 1;
        QTest::newRow("sign-on wanted for the recipients, 530")
            << QStringList{"RCPT * 530 Authentication required"} << 1
            << refuses + QStringLiteral("530 Authentication required") << QStringList() << 5 << 1;
        QTest::newRow("one unknown mailbox, 5.1.1")
            << QStringList{"RCPT p2@example.org 550 5.1.1 No such user here"} << 0
            << QStringLiteral("pass: 4 replies sent, 1 passed over, 0 left for a later pass")
            << QStringList{"p0@example.org", "p1@example.org", "p3@example.org", "p4@example.org"} << 0 << 5;
        QTest::newRow("the same 554 without enhanced codes")
            << QStringList{"RCPT * 554 Relay access denied"} << 1
            << refuses + QStringLiteral("554 Relay access denied (3 recipients in a row)") << QStringList() << 5 << 3;
        // A mailbox's code: the first refusals must not be given up before the streak shows.
        QTest::newRow("the same 550 without enhanced codes")
            << QStringList{"RCPT * 550 Relaying not allowed"} << 1
            << refuses + QStringLiteral("550 Relaying not allowed (3 recipients in a row)") << QStringList() << 5 << 3;
    }
    void once_againstARefusingSmtpServer_losesNoRequest()
    {
        QFETCH(QStringList, rules);
        QFETCH(int, exitCode);
        QFETCH(QString, log);
        QFETCH(QStringList, answered);
        QFETCH(int, unread);
        QFETCH(int, listedAtLeast);
        TestFolders folders;
        ServerBackend backend(folders.root() + QStringLiteral("mail/"));
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        constexpr int kMails = 5;
        registrationsFor(backend, folders, kMails);
        backend.refuse(rules);

        const ChildProcess::Ended refused = runAttendant({QStringLiteral("--once")});
        QCOMPARE(refused.exitCode, exitCode);
        QCOMPARE(refused.errText(), QString(log).replace(QStringLiteral("%1"), backend.smtpUrl()) + QLatin1Char('\n'));
        QCOMPARE(backend.unreadCount(), unread);
        QStringList recipients;
        for (const QByteArray& raw : backend.replies())
            recipients << recipientOf(raw).address;
        recipients.sort();
        QCOMPARE(recipients, answered);
        // Requests are handled in mailbox order, and a handled one waits with its reply noted.
        QStringList everyone;
        for (int i = 0; i < kMails; ++i)
            everyone << QStringLiteral("Person %1").arg(i);
        const OpenEvent event(folders, QStringLiteral("E00001"));
        const QStringList listed = event.names();
        QVERIFY2(listed.size() >= listedAtLeast && listed == everyone.mid(0, listed.size()),
                 qPrintable(listed.join(QLatin1Char(','))));

        backend.refuse({});
        const ChildProcess::Ended healed = runAttendant({QStringLiteral("--once")});
        QCOMPARE(healed.exitCode, 0);
        QCOMPARE(backend.unreadCount(), 0);
        QCOMPARE(event.list(), OpenEvent::lines(everyone));
        // Only a mailbox refused for good goes without its reply.
        expectOneFirstReplyEach(backend, answered.isEmpty() ? kMails : int(answered.size()));
    }

    // The working folder's lock
    void once_whileAnotherHoldsTheFolder_exits3()
    {
        TestFolders folders;
        MaildirBackend mail(folders.root() + QStringLiteral("mail/"));
        useMail(mail, folders);
        QLockFile held(folders.work() + WorkingFolderLock::kFileName);
        QVERIFY(held.tryLock(0));
        const ChildProcess::Ended run = runAttendant({QStringLiteral("--once")}, 90000);
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.errText(), QStringLiteral("pass: not connected: working folder busy\n"));
        QVERIFY(run.ms >= 29000);
    }

    void lockOfAKilledPass_doesNotHoldTheNext()
    {
        TestFolders folders;
        const SilentServer silent;
        ChildProcess stuck(kAttendant, {QStringLiteral("--once")});
        QVERIFY(startWaitingForASilentServer(stuck, folders, silent));
        stuck.kill();
        QVERIFY(QFile::exists(folders.work() + WorkingFolderLock::kFileName));

        MaildirBackend mail(folders.root() + QStringLiteral("mail/"));
        useMail(mail, folders);
        const ChildProcess::Ended run = runAttendant({QStringLiteral("--once")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.ms < 10000, qPrintable(QString::number(run.ms)));
    }

    // As a service
    void service_stoppedBySignal_endsAfterTheMailBeingHandled_andLosesNone()
    {
        TestFolders folders;
        MaildirBackend mail(folders.root() + QStringLiteral("mail/"));
        constexpr int kMails = 300;
        registrationsFor(mail, folders, kMails);
        ChildProcess service(kAttendant);
        QVERIFY(service.start());
        QTRY_VERIFY_WITH_TIMEOUT(!mail.replies().isEmpty(), 30000);
        service.signal(SIGTERM);
        QVERIFY(service.waitForEnd(30000));
        const ChildProcess::Ended stopped = service.ended();
        QCOMPARE(stopped.exitCode, 0);
        const QString log = stopped.errText();
        // Stopped within its first pass: the mails after the one being handled wait.
        const QRegularExpressionMatch left =
            QRegularExpression(QStringLiteral("^pass: \\d+ replies sent, 0 passed over, "
                                              "(\\d+) left for a later pass\n$"))
                .match(log);
        QVERIFY2(left.hasMatch() && left.captured(1).toInt() > 0, qPrintable(log));

        const ChildProcess::Ended rest = runAttendant({QStringLiteral("--once")});
        QCOMPARE(rest.exitCode, 0);
        QCOMPARE(mail.unreadCount(), 0);
        expectOneFirstReplyEach(mail, kMails);
    }

    void service_stoppedBySignalWhileTheServerIsSilent_endsWithin2Seconds()
    {
        TestFolders folders;
        const SilentServer silent;
        ChildProcess service(kAttendant);
        QVERIFY(startWaitingForASilentServer(service, folders, silent));
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        service.signal(SIGTERM);
        QVERIFY(service.waitForEnd(30000));
        QVERIFY2(sinceSignal.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(sinceSignal.elapsed())));
        const ChildProcess::Ended stopped = service.ended();
        QCOMPARE(stopped.exitCode, 0);
        const QString log = stopped.errText();
        QVERIFY2(log.startsWith(QStringLiteral("pass: not connected: imap://127.0.0.1:%1: stopped before the server "
                                               "answered")
                                    .arg(silent.port())),
                 qPrintable(log));
    }

    void twoAttendantsTogether_answerEveryRequestOnce()
    {
        TestFolders folders;
        ServerBackend backend(folders.root() + QStringLiteral("mail/"));
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        constexpr int kMails = 20;
        registrationsFor(backend, folders, kMails);
        ChildProcess first(kAttendant, {QStringLiteral("--once")});
        ChildProcess second(kAttendant, {QStringLiteral("--once")});
        QVERIFY(first.start() && second.start());
        QVERIFY(first.waitForEnd(60000) && second.waitForEnd(60000));
        QCOMPARE(first.ended().exitCode, 0);
        QCOMPARE(second.ended().exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(int(backend.replies().size()), kMails, 10000);
        expectOneFirstReplyEach(backend, kMails);
        QCOMPARE(backend.unreadCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAttendantService)
#include "test_attendant_service.moc"
