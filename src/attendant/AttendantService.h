#pragma once

#include <QStringList>

#include <optional>

class QTextStream;

namespace Enrolix {

struct PassReport;
class DesktopNotifier;
class SettingsStore;
class MailSessionFactory;
class InboxWatchers;

// enrolix-attendant: the attendant without windows, on the settings file, mail profile, journal
// and data folder of the desktop program. One pass with --once; otherwise a pass as soon as the
// inbox watcher sees new mail come in, and every Seconds_Wait_Between_Email_Processing seconds
// after the last, the settings read afresh before each, until SIGTERM or SIGINT, which end it after
// the mail being handled. One line per pass on err, and the watcher's lines; passes that keep
// failing are told on the desktop (OutageNotices).
namespace AttendantService {

enum ExitCode { kConnected = 0, kNotConnected = 1, kBadUsage = 2, kBusy = 3 };

// What the arguments (without the program name) ask for: passes, once or until stopped; or,
// once the usage, the version or a complaint is written, the exit code to end with.
struct Invocation
{
    bool once{false};
    std::optional<int> exitCode;
};
Invocation parseArguments(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Runs the passes on the settings of store and the mailbox that mail opens, watched through
// watchers, with notices through notifier; returns the exit code.
int run(bool once, const SettingsStore& store, MailSessionFactory& mail, InboxWatchers& watchers,
        DesktopNotifier& notifier, QTextStream& err);

// "pass: R replies sent, S passed over, L left for a later pass", followed by " (reply limit
// reached: " and the senders passed over for it when there are any; or "pass: not connected: "
// and the reason.
QString logLine(const PassReport& report);

} // namespace AttendantService
} // namespace Enrolix
