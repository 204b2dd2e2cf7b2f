#pragma once

#include <QStringList>

class QTextStream;

namespace Enrolix {

struct PassReport;

// enrolix-attendant: the attendant without windows, on the settings file, mail profile, journal
// and data folder of the desktop program. One pass with --once; otherwise a pass every
// Seconds_Wait_Between_Email_Processing seconds, the settings read afresh before each, until
// SIGTERM or SIGINT, which end it after the mail being handled. One line per pass on err.
namespace AttendantService {

enum ExitCode { kConnected = 0, kNotConnected = 1, kBadUsage = 2, kBusy = 3 };

// Runs the program for its arguments (without the program name); returns its exit code.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

// "pass: R replies sent, S passed over, L left for a later pass", or "pass: not connected: "
// and the reason.
QString logLine(const PassReport& report);

} // namespace AttendantService
} // namespace Enrolix
