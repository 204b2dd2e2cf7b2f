// enrolix-attendant as a service that answers mail as it comes in, though ten minutes pass between
// its timed passes: over IMAP IDLE and in a Maildir inbox, mail that comes in together in one pass,
// through an IDLE connection that a proxy cuts; and against a server without IDLE, where the timed
// passes answer.
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/ServerBackend.h"
#include "support/TestFolders.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

// enrolix-attendant as a service on the test's folders, stopped when the object goes.
class Service
{
public:
    Service() { m_process.start(QStringLiteral(ENROLIX_ATTENDANT), QStringList()); }
    ~Service() { stop(); }
    Q_DISABLE_COPY_MOVE(Service)

    // Sends SIGTERM; true when the service ended well within two seconds.
    bool stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return m_process.waitForFinished(30000) && sinceSignal.elapsed() < 2000 &&
               m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    QString log()
    {
        m_log += QString::fromUtf8(m_process.readAllStandardError());
        return m_log;
    }
    QStringList passes()
    {
        return log().split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^pass: ")));
    }

private:
    QProcess m_process;
    QString m_log;
};

// The event E00001, the profile of the backend, and the wait between timed passes.
void prepare(const MailBackend& backend, const TestFolders& folders, int secondsWait)
{
    IniSettingsStore store;
    backend.configure(store, SettingsKeys::kMailProfileName);
    store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
    store.write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QString::number(secondsWait));
    folders.write(folders.work() + QStringLiteral("E00001.sc"), {});
    folders.write(folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");
}

// Once the service watches: its first pass, and the one for what came in before the watch was made.
bool watching(Service& service, const QString& how)
{
    return QTest::qWaitFor(
        [&] { return service.log().contains(how + QLatin1Char('\n')) && service.passes().size() == 2; }, 30000);
}

const QString kWatchingImap = QStringLiteral("watching: IMAP IDLE");

} // namespace

class TestAttendantWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newMail_isAnsweredAtOnce_andMailComingInTogetherInOnePass_data()
    {
        QTest::addColumn<bool>("imap");
        QTest::addColumn<QString>("how");
        QTest::newRow("IMAP IDLE") << true << kWatchingImap;
        QTest::newRow("Maildir") << false << QStringLiteral("watching: Maildir");
    }
    void newMail_isAnsweredAtOnce_andMailComingInTogetherInOnePass()
    {
        QFETCH(bool, imap);
        QFETCH(QString, how);
        TestFolders folders;
        std::unique_ptr<MailBackend> backend;
        if (imap)
            backend = std::make_unique<ServerBackend>(folders.root());
        else
            backend = std::make_unique<MaildirBackend>(folders.root() + QStringLiteral("mail/"));
        QVERIFY2(backend->problem().isEmpty(), qPrintable(backend->problem()));
        prepare(*backend, folders, 600);
        Service service;
        QVERIFY2(watching(service, how), qPrintable(service.log()));

        backend->deliver(registrations(1));
        QTRY_COMPARE_WITH_TIMEOUT(backend->replies().size(), 1, 20000);
        constexpr int kTogether = 5;
        backend->deliver(registrations(kTogether, 1));
        QTRY_COMPARE_WITH_TIMEOUT(backend->replies().size(), kTogether + 1, 20000);
        QTRY_COMPARE(service.passes().size(), 4);
        QCOMPARE(service.passes().mid(2),
                 (QStringList{"pass: 1 replies sent, 0 passed over, 0 left for a later pass",
                              "pass: 5 replies sent, 0 passed over, 0 left for a later pass"}));
        QCOMPARE(service.log().count(how), 1);
        // SIGTERM ends the service promptly, though its watcher is waiting on the mailbox.
        QVERIFY(service.stop());
    }

    void serverWithoutIdle_isAnsweredByTheTimedPasses()
    {
        TestFolders folders;
        ServerBackend backend(folders.root(), ServerBackend::Imap::WithoutIdle);
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        prepare(backend, folders, 2);
        Service service;
        QTRY_VERIFY_WITH_TIMEOUT(
            service.log().contains(QStringLiteral("watching: none (the server offers no IDLE), a pass every 2 s\n")),
            20000);
        backend.deliver(registrations(1));
        QTRY_COMPARE_WITH_TIMEOUT(backend.replies().size(), 1, 20000);
        QVERIFY2(!service.log().contains(QStringLiteral("watching: interrupted")), qPrintable(service.log()));
    }

    void idleConnectionCut_isMadeAgain_andTheNextMailAnswered()
    {
        TestFolders folders;
        ServerBackend backend(folders.root());
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        prepare(backend, folders, 600);
        FaultProxy proxy(backend.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt(), {});
        QVERIFY(proxy.port());
        IniSettingsStore().write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                                 QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(proxy.port()));
        Service service;
        QVERIFY2(watching(service, kWatchingImap), qPrintable(service.log()));

        proxy.cut();
        const QString interrupted =
            QStringLiteral("watching: interrupted: imap://127.0.0.1:%1: connection lost; trying again in 5 s\n")
                .arg(proxy.port());
        QTRY_VERIFY2(service.log().contains(interrupted), qPrintable(service.log()));
        // Made again after the pause, with a pass for what may have come in meanwhile.
        QTRY_COMPARE_WITH_TIMEOUT(service.passes().size(), 3, 20000);
        backend.deliver(registrations(1));
        QTRY_COMPARE_WITH_TIMEOUT(backend.replies().size(), 1, 20000);
        QTRY_COMPARE(service.passes().size(), 4);
        QCOMPARE(service.log().count(kWatchingImap), 1);
    }
};

QTEST_GUILESS_MAIN(TestAttendantWatch)
#include "test_attendant_watch.moc"
