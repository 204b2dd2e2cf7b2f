#include "attendant/AttendantService.h"

#include "Version.h"
#include "attendant/MailArrivals.h"
#include "attendant/OutageNotices.h"
#include "attendant/PassListener.h"
#include "attendant/ProcessingPass.h"
#include "mail/ProfileKeys.h"
#include "platform/ControlCharacters.h"
#include "platform/StopSignals.h"
#include "settings/CounterFileCheck.h"
#include "settings/Settings.h"

#include <QTextStream>

#include <mutex>

namespace Enrolix::AttendantService {
namespace {

const QString kUsage =
    QStringLiteral("Usage: enrolix-attendant [--once]\n"
                   "Answers the course sign-up mails of the mailbox of the mail profile \"MS Exchange Settings\",\n"
                   "with the settings of the desktop program (~/.config/enrolix/enrolix.ini).\n"
                   "\n"
                   "  --once     one pass, then exit: 0 when it connected, 1 when it did not,\n"
                   "             3 when another pass held the working folder\n"
                   "  --help     this text\n"
                   "  --version  the version\n"
                   "\n"
                   "Without --once, a pass as soon as new mail arrives (IMAP IDLE or the Maildir's new/\n"
                   "folder), and every Seconds_Wait_Between_Email_Processing seconds, until SIGTERM or\n"
                   "SIGINT. One line on standard error per pass.\n");

// The log line says everything; the pass's reports in between are not needed.
class SilentListener final : public PassListener
{
public:
    void statusChanged(const QString&) override {}
    void replySent(qint16) override {}
    void connectionFailed(qint16, const QString&) override {}
};

int exitCodeOf(const PassReport& report)
{
    if (report.busy)
        return kBusy;
    return report.failure.isEmpty() ? kConnected : kNotConnected;
}

} // namespace

QString logLine(const PassReport& report)
{
    if (!report.failure.isEmpty())
        return QStringLiteral("pass: not connected: ") + report.failure;
    QString line = QStringLiteral("pass: %1 replies sent, %2 passed over, %3 left for a later pass")
                       .arg(report.replies)
                       .arg(report.passedOver)
                       .arg(report.leftForLater);
    // The addresses come from strangers' mails: none may break the line.
    if (!report.overReplyLimit.isEmpty())
        line += QStringLiteral(" (reply limit reached: ") +
                withVisibleControlCharacters(report.overReplyLimit.join(QStringLiteral(", "))) + QLatin1Char(')');
    return line;
}

Invocation parseArguments(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Invocation invocation;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--once")) {
            invocation.once = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out << kUsage;
            return {false, kConnected};
        } else if (argument == QLatin1String("--version")) {
            out << "enrolix-attendant " << Version::kText << '\n';
            return {false, kConnected};
        } else {
            err << "enrolix-attendant: unknown argument " << argument << "\n\n" << kUsage;
            return {false, kBadUsage};
        }
    }
    return invocation;
}

int run(bool once, const SettingsStore& store, MailSessionFactory& mail, InboxWatchers& watchers,
        DesktopNotifier& notifier, QTextStream& err)
{
    // The embedded default working folder, page folder and mailbox, as the desktop program makes them.
    prepareDefaultDataFolder();
    prepareDefaultPageFolder(store);
    Settings settings;
    SilentListener listener;
    StopSignals stop;
    ProcessingPass pass(settings, mail, listener, stop.token());
    // The inbox watcher writes its lines from a thread of its own.
    std::mutex logged;
    const auto log = [&err, &logged](const QString& line) {
        const std::lock_guard<std::mutex> lock(logged);
        err << line << '\n';
        err.flush();
    };
    MailArrivals arrivals(log);
    const auto loadSettings = [&] {
        settings.LoadSettings(store);
        arrivals.setPassInterval(std::chrono::seconds(settings.Seconds_Wait_Between_Email_Processing));
    };
    loadSettings();
    OutageNotices notices(notifier, err);
    // New mail starts a pass at once; the timed passes remain for a watch that is lost or impossible.
    const std::unique_ptr<InboxWatcher> watcher =
        once ? nullptr : watchers.watch(SettingsKeys::kMailProfileName, arrivals, WatchTimes{});
    while (true) {
        const PassReport report = pass.run();
        log(logLine(report));
        {
            // The notices write to the log as well.
            const std::lock_guard<std::mutex> lock(logged);
            notices.passEnded(report.failure);
        }
        if (once)
            return exitCodeOf(report);
        arrivals.waitForMail(stop.token(), MailArrivals::Clock::now() +
                                               std::chrono::seconds(settings.Seconds_Wait_Between_Email_Processing));
        if (stop.stopped())
            return kConnected;
        loadSettings();
    }
}

} // namespace Enrolix::AttendantService
