#pragma once

#include "platform/Message.h"

#include <QString>
#include <QStringList>

namespace Enrolix {

struct Settings;

// Outcome of closing an event. Only PageNotWritten and HalfClosed leave an event changed
// without being fully closed; Refused and Busy change nothing.
struct CloseResult
{
    // Busy: another holds the working folder's lock, and nothing was tried.
    enum class Status { Closed, Refused, Busy, HalfClosed, PageNotWritten };
    Status status{Status::Closed};
    // What to tell the coordinator; empty text when closed.
    Message report;

    bool closed() const { return status == Status::Closed; }
};

// Closes an open event: its sign-up and description files get ".cl" appended, with their
// content unchanged, and its page is replaced by the closed page. Everything that can be
// seen in advance (a file missing, a closed name taken, the page folder unusable) is
// checked before the first move; a failed second move puts the first one back.
// Holds the working folder's lock, trying it once without waiting for it.
CloseResult CloseEvent(const Settings& settings, const QString& event);

// The closed page, line by line, for an event whose description file holds description.
QStringList closedPageLines(const QString& event, const QString& description);

} // namespace Enrolix
