// enrolix-attendant as a coordinator runs it: on a fresh data folder, against a dead server,
// as a service stopped by a signal, beside another attendant on the same folder and mailbox,
// and after a pass that was killed while it held the working folder.
#include "events/WorkingFolderLock.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/ServerBackend.h"
#include "support/SilentServer.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kRegister = QStringLiteral("Register for Event   (Enrolix)");

struct Run
{
    int exitCode{-1};
    QString out;
    QString err;
    qint64 ms{0};
};

// The attendant with the test's own XDG folders (TestFolders sets them for this process).
void prepare(QProcess& process, const QStringList& arguments)
{
    process.setProgram(QStringLiteral(ENROLIX_ATTENDANT));
    process.setArguments(arguments);
}

Run runAttendant(const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    prepare(process, arguments);
    QElapsedTimer timer;
    timer.start();
    process.start();
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()),
            timer.elapsed()};
}

} // namespace

class TestAttendantService : public QObject
{
    Q_OBJECT

private:
    // The profile, in the settings file the attendant reads, pointing at a mail backend.
    static void useMail(const MailBackend& backend, const TestFolders& folders)
    {
        IniSettingsStore store;
        backend.configure(store, SettingsKeys::kMailProfileName);
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        store.write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QStringLiteral("5"));
    }
    // The event E00001, the profile pointing at the backend, and count registrations for the event
    // from "Person i" <pi@example.org> in its inbox.
    static void registrationsFor(MailBackend& backend, const TestFolders& folders, int count)
    {
        useMail(backend, folders);
        folders.write(folders.work() + QStringLiteral("E00001.sc"), {});
        folders.write(folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
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
            QCOMPARE(it.value(), QStringList{QStringLiteral("Registration Request Processed")});
    }

    // The attendant with its inbox on a server that never answers, once it holds the working
    // folder while it waits for that server.
    static bool startWaitingForASilentServer(QProcess& process, const QStringList& arguments,
                                             const TestFolders& folders, const SilentServer& silent)
    {
        IniSettingsStore store;
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                    QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(silent.port()));
        prepare(process, arguments);
        process.start();
        return process.waitForStarted() &&
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
        QTest::newRow("version") << QStringList{"--version"} << 0 << "enrolix-attendant 2.0.7";
        QTest::newRow("unknown") << QStringList{"--twice"} << 2 << "unknown argument --twice";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        TestFolders folders;
        const Run run = runAttendant(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((run.out + run.err).contains(printed), qPrintable(run.out + run.err));
    }

    // One pass
    void once_onAFreshDataFolder_answersAMailDroppedIntoTheInbox()
    {
        TestFolders folders;
        const QString data = folders.root() + QStringLiteral("data/enrolix/");
        QVERIFY(QDir().mkpath(data + QStringLiteral("mail/inbox/new")));
        folders.write(data + QStringLiteral("E00001.sc"), {});
        folders.write(data + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
        folders.write(
            data + QStringLiteral("mail/inbox/new/1.dropped"),
            requestMail(kRegister, QStringLiteral("E00001"), QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
        const Run run = runAttendant({QStringLiteral("--once")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("pass: 1 replies sent, 0 passed over, 0 left for a later pass\n"));
        QCOMPARE(folders.read(data + QStringLiteral("E00001.sc")), QByteArray("Ann\r\n"));
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
        const Run run = runAttendant({QStringLiteral("--once")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.startsWith(QStringLiteral("pass: not connected: imap://127.0.0.1:%1: host unreachable").arg(dead)),
            qPrintable(run.err));
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

        const Run refused = runAttendant({QStringLiteral("--once")});
        QCOMPARE(refused.exitCode, exitCode);
        QCOMPARE(refused.err, QString(log).replace(QStringLiteral("%1"), backend.smtpUrl()) + QLatin1Char('\n'));
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
        const QStringList listed = QString::fromUtf8(folders.read(folders.work() + QStringLiteral("E00001.sc")))
                                       .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY2(listed.size() >= listedAtLeast && listed == everyone.mid(0, listed.size()),
                 qPrintable(listed.join(QLatin1Char(','))));

        backend.refuse({});
        const Run healed = runAttendant({QStringLiteral("--once")});
        QCOMPARE(healed.exitCode, 0);
        QCOMPARE(backend.unreadCount(), 0);
        QCOMPARE(folders.read(folders.work() + QStringLiteral("E00001.sc")),
                 (everyone.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
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
        const Run run = runAttendant({QStringLiteral("--once")}, 90000);
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.err, QStringLiteral("pass: not connected: working folder busy\n"));
        QVERIFY(run.ms >= 29000);
    }

    void lockOfAKilledPass_doesNotHoldTheNext()
    {
        TestFolders folders;
        const SilentServer silent;
        QProcess stuck;
        QVERIFY(startWaitingForASilentServer(stuck, {QStringLiteral("--once")}, folders, silent));
        ::kill(pid_t(stuck.processId()), SIGKILL);
        QVERIFY(stuck.waitForFinished());
        QVERIFY(QFile::exists(folders.work() + WorkingFolderLock::kFileName));

        MaildirBackend mail(folders.root() + QStringLiteral("mail/"));
        useMail(mail, folders);
        const Run run = runAttendant({QStringLiteral("--once")});
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
        QProcess service;
        prepare(service, {});
        service.start();
        QVERIFY(service.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!mail.replies().isEmpty(), 30000);
        ::kill(pid_t(service.processId()), SIGTERM);
        QVERIFY(service.waitForFinished(30000));
        QCOMPARE(service.exitStatus(), QProcess::NormalExit);
        QCOMPARE(service.exitCode(), 0);
        QString log = QString::fromUtf8(service.readAllStandardError());
        // The inbox watcher says its line once, before or after the first pass's.
        QCOMPARE(log.count(QStringLiteral("watching: Maildir\n")), 1);
        log.remove(QStringLiteral("watching: Maildir\n"));
        // Stopped within its first pass: the mails after the one being handled wait.
        const QRegularExpressionMatch left =
            QRegularExpression(QStringLiteral("^pass: \\d+ replies sent, 0 passed over, "
                                              "(\\d+) left for a later pass\n$"))
                .match(log);
        QVERIFY2(left.hasMatch() && left.captured(1).toInt() > 0, qPrintable(log));

        const Run rest = runAttendant({QStringLiteral("--once")});
        QCOMPARE(rest.exitCode, 0);
        QCOMPARE(mail.unreadCount(), 0);
        expectOneFirstReplyEach(mail, kMails);
    }

    void service_stoppedBySignalWhileTheServerIsSilent_endsWithin2Seconds()
    {
        TestFolders folders;
        const SilentServer silent;
        QProcess service;
        QVERIFY(startWaitingForASilentServer(service, {}, folders, silent));
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        ::kill(pid_t(service.processId()), SIGTERM);
        QVERIFY(service.waitForFinished(30000));
        QVERIFY2(sinceSignal.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(sinceSignal.elapsed())));
        QCOMPARE(service.exitStatus(), QProcess::NormalExit);
        QCOMPARE(service.exitCode(), 0);
        const QString log = QString::fromUtf8(service.readAllStandardError());
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
        QProcess first;
        QProcess second;
        prepare(first, {QStringLiteral("--once")});
        prepare(second, {QStringLiteral("--once")});
        first.start();
        second.start();
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(int(backend.replies().size()), kMails, 10000);
        expectOneFirstReplyEach(backend, kMails);
        QCOMPARE(backend.unreadCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAttendantService)
#include "test_attendant_service.moc"
