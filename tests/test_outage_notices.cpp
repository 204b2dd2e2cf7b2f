// When enrolix-attendant keeps failing, its user hears of it: the notices of a failure streak
// on a clock of the test's own, then the real service on a session bus of the test's own, with
// a notification service, with none, and without any bus.
#include "attendant/AttendantTexts.h"
#include "attendant/OutageNotices.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/MaildirBackend.h"
#include "support/NotificationService.h"
#include "support/SessionBus.h"
#include "support/SilentServer.h"
#include "support/TestFolders.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextStream>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

// Takes every notice, or refuses them all as a desktop without a notification service does.
class RecordingNotifier final : public DesktopNotifier
{
public:
    explicit RecordingNotifier(bool available) : m_available(available) {}
    bool notify(const Notice& notice) override
    {
        shown.append(notice);
        return m_available;
    }
    QList<Notice> shown;

private:
    bool m_available;
};

// A pass: minutes after the start, and its failure (empty for a good pass).
using Pass = std::pair<int, QString>;
const QString kGood;
const QString kUnreachable = QStringLiteral("imap://mail.example.org:993: host unreachable");
const QString kRefused = QStringLiteral("imap://mail.example.org:993: sign-on refused");
const QDateTime kStart(QDate(2026, 5, 8), QTime(17, 0));
constexpr int kDay = 24 * 60;

QDateTime at(int minutes)
{
    return kStart.addSecs(qint64(minutes) * 60);
}

QString failing(const QString& reason, std::optional<int> lastGood)
{
    return AttendantTexts::kCannotAnswer + QLatin1Char('|') +
           AttendantTexts::cannotAnswerBody(reason, lastGood ? std::optional(at(*lastGood)) : std::nullopt, kStart);
}

QString again(int minutes, int failures)
{
    return AttendantTexts::kAnswersAgain + QLatin1Char('|') + AttendantTexts::answersAgainBody(at(minutes), failures);
}

QStringList linesStartingWith(const QString& log, const QString& start)
{
    QStringList found;
    for (const QString& line : log.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(start))
            found << line;
    }
    return found;
}

QString lineStartingWith(const QString& log, const QString& start)
{
    return linesStartingWith(log, start).value(0);
}

// The log line of a notice with one of these bodies.
bool isLoggedNotice(const QString& line, const QString& summary, const QStringList& bodies)
{
    for (const QString& body : bodies) {
        if (line == AttendantTexts::noticeLogLine(summary, body))
            return true;
    }
    return false;
}

} // namespace

class TestOutageNotices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A streak on the test's clock
    void passes_inAStreak_noticeOncePerStreakAndDay_data()
    {
        QTest::addColumn<QList<Pass>>("passes");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("two failed passes: nothing yet")
            << QList<Pass>{{0, kUnreachable}, {10, kUnreachable}} << QStringList();
        QTest::newRow("the third: the last reason, no good pass since the start")
            << QList<Pass>{{0, kRefused}, {10, kRefused}, {20, kUnreachable}}
            << QStringList{failing(kUnreachable, std::nullopt)};
        QTest::newRow("the time of the last good pass")
            << QList<Pass>{{5, kGood}, {15, kGood}, {25, kUnreachable}, {35, kUnreachable}, {45, kUnreachable}}
            << QStringList{failing(kUnreachable, 15)};
        QTest::newRow("a streak that lasts: again after a day, not before")
            << QList<Pass>{{0, kUnreachable},        {10, kUnreachable},        {20, kUnreachable},
                           {30, kUnreachable},       {kDay + 19, kUnreachable}, {kDay + 20, kUnreachable},
                           {kDay + 30, kUnreachable}}
            << QStringList{failing(kUnreachable, std::nullopt), failing(kUnreachable, std::nullopt)};
        QTest::newRow("the good pass after a streak")
            << QList<Pass>{{0, kGood},     {10, kRefused}, {20, kRefused}, {30, kRefused},
                           {40, kRefused}, {50, kGood},    {60, kGood}}
            << QStringList{failing(kRefused, 0), again(50, 4)};
        QTest::newRow("a good pass before the third failure: no notice at all")
            << QList<Pass>{{0, kRefused}, {10, kRefused}, {20, kGood}, {30, kRefused}, {40, kRefused}} << QStringList();
        QTest::newRow("a new streak after a good pass: told at once")
            << QList<Pass>{{0, kRefused}, {1, kRefused}, {2, kRefused}, {3, kGood},
                           {4, kRefused}, {5, kRefused}, {6, kRefused}}
            << QStringList{failing(kRefused, std::nullopt), again(3, 3), failing(kRefused, 3)};
    }
    void passes_inAStreak_noticeOncePerStreakAndDay()
    {
        QFETCH(QList<Pass>, passes);
        QFETCH(QStringList, notices);
        // Whether a notification service takes them or not, the log has every notice.
        for (const bool available : {true, false}) {
            RecordingNotifier notifier(available);
            QString log;
            QTextStream stream(&log);
            QDateTime now = kStart;
            OutageNotices outage(notifier, stream, [&now] { return now; });
            for (const auto& [minutes, failure] : passes) {
                now = at(minutes);
                outage.passEnded(failure);
            }
            QStringList shown;
            QStringList logged;
            for (const DesktopNotifier::Notice& notice : std::as_const(notifier.shown)) {
                shown << notice.summary + QLatin1Char('|') + notice.body;
                QCOMPARE(notice.urgent, notice.summary == AttendantTexts::kCannotAnswer);
                logged << AttendantTexts::noticeLogLine(notice.summary, notice.body);
            }
            QCOMPARE(shown, notices);
            QCOMPARE(log, logged.isEmpty() ? QString() : logged.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        }
    }

    // The service on a bus of the test's own: good passes, three and more failed ones against a
    // dead port, then good ones again.
    void service_againstADeadPort_noticesTheStreakAndItsEnd_data()
    {
        QTest::addColumn<bool>("bus");
        QTest::addColumn<bool>("notificationService");
        QTest::newRow("a notification service") << true << true;
        QTest::newRow("a bus without a notification service: the log alone") << true << false;
        QTest::newRow("no session bus: the log alone") << false << false;
    }
    void service_againstADeadPort_noticesTheStreakAndItsEnd()
    {
        QFETCH(bool, bus);
        QFETCH(bool, notificationService);
        TestFolders folders;
        const SessionBus session;
        QVERIFY2(!session.address().isEmpty(), "dbus-daemon did not start");
        std::unique_ptr<NotificationService> notifications;
        if (notificationService) {
            notifications = std::make_unique<NotificationService>(session.address());
            QVERIFY(notifications->isServing());
        }
        int dead = 0;
        {
            const SilentServer closed;
            dead = closed.port();
        }
        MaildirBackend mail(folders.root() + QStringLiteral("mail/"));
        IniSettingsStore store;
        mail.configure(store, SettingsKeys::kMailProfileName);
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        store.write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QStringLiteral("1"));

        QProcess service;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           bus ? session.address()
                               : QStringLiteral("unix:path=") + folders.root() + QStringLiteral("no-bus"));
        service.setProcessEnvironment(environment);
        service.setProgram(QStringLiteral(ENROLIX_ATTENDANT));
        const auto ended = qScopeGuard([&service] {
            service.kill();
            service.waitForFinished();
        });
        QString log;
        const auto logged = [&service, &log](const QString& start) {
            log += QString::fromUtf8(service.readAllStandardError());
            return int(linesStartingWith(log, start).size());
        };
        const QDateTime started = QDateTime::currentDateTime();
        service.start();
        QVERIFY(service.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("pass: 0 replies sent")) >= 1, 30000);

        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                    QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(dead));
        const QString failingNotice = QStringLiteral("notice: ") + AttendantTexts::kCannotAnswer;
        QTRY_VERIFY_WITH_TIMEOUT(logged(failingNotice) == 1, 30000);
        const QDateTime noticed = QDateTime::currentDateTime();
        // Two more failed passes: still the one notice.
        const QString failed = QStringLiteral("pass: not connected: ");
        const int failedSoFar = logged(failed);
        QVERIFY2(failedSoFar >= OutageNotices::kStreak, qPrintable(log));
        // The notice gives the reason of the failure that made the streak; libcurl's wording
        // of it counts the milliseconds the connect took, so each failure may read differently.
        const QString reason = linesStartingWith(log, failed).value(OutageNotices::kStreak - 1).mid(failed.size());
        QVERIFY2(reason.startsWith(QStringLiteral("imap://127.0.0.1:%1: host unreachable").arg(dead)), qPrintable(log));
        QTRY_VERIFY_WITH_TIMEOUT(logged(failed) >= failedSoFar + 2, 30000);
        QCOMPARE(logged(failingNotice), 1);
        // The last good pass was between the start and the notice; the minute is all that shows.
        QStringList failingBodies;
        for (const QDateTime& lastGood : {started, noticed})
            failingBodies << AttendantTexts::cannotAnswerBody(reason, lastGood, started);
        QVERIFY2(isLoggedNotice(lineStartingWith(log, failingNotice), AttendantTexts::kCannotAnswer, failingBodies),
                 qPrintable(log));

        const QDateTime restored = QDateTime::currentDateTime();
        mail.configure(store, SettingsKeys::kMailProfileName);
        const QString againNotice = QStringLiteral("notice: ") + AttendantTexts::kAnswersAgain;
        QTRY_VERIFY_WITH_TIMEOUT(logged(againNotice) == 1, 30000);
        QStringList againBodies;
        for (const QDateTime& goodAgain : {restored, QDateTime::currentDateTime()})
            againBodies << AttendantTexts::answersAgainBody(goodAgain, logged(failed));
        QVERIFY2(isLoggedNotice(lineStartingWith(log, againNotice), AttendantTexts::kAnswersAgain, againBodies),
                 qPrintable(log));

        if (notifications) {
            QTRY_COMPARE(notifications->shown().size(), 2);
            const NotificationService::Shown& failing = notifications->shown().first();
            QCOMPARE(failing.application, QStringLiteral("Enrolix"));
            QCOMPARE(failing.summary, AttendantTexts::kCannotAnswer);
            QVERIFY2(failingBodies.contains(failing.body), qPrintable(failing.body));
            QCOMPARE(failing.hints.value(QStringLiteral("urgency")).toInt(), 2);
            const NotificationService::Shown& again = notifications->shown().last();
            QCOMPARE(again.summary, AttendantTexts::kAnswersAgain);
            QVERIFY2(againBodies.contains(again.body), qPrintable(again.body));
            QCOMPARE(again.hints.value(QStringLiteral("urgency")).toInt(), 1);
        }

        ::kill(pid_t(service.processId()), SIGTERM);
        QVERIFY(service.waitForFinished(30000));
        QCOMPARE(service.exitStatus(), QProcess::NormalExit);
        QCOMPARE(service.exitCode(), 0);
        logged({});
        // No complaint about a missing bus or notification service.
        static const QRegularExpression complaint(QStringLiteral("d-?bus|org\\.freedesktop"),
                                                  QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(!complaint.match(log).hasMatch(), qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(TestOutageNotices)
#include "test_outage_notices.moc"
