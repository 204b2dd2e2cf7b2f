#pragma once

#include "platform/Message.h"

namespace Enrolix::AdminMessages {

// The working folder could not be listed.
Message couldNotAccessFiles();

// The selected event's files are gone since the list was last refreshed.
Message eventNoLongerOpen(const QString& event);

// The welcome screen's "Continue..." with the box ticked, and unticked.
Message willSeeScreenNextTime();
Message canReEnableScreen();

Message systemInfoUnavailable();

// The copy command of the toolbar.
Message nothingToCopy();
Message attendeesCopied();

// The close command with no event selected.
Message selectEvent();

// The close dialog answered No.
Message courseRemainsOpen();

// Shown over the options dialog when it is opened.
Message optionsWarning();

// The check interval is no number.
Message mustBeNumeric();

// The directory picker could not open the chosen drive.
Message driveNotFound();

} // namespace Enrolix::AdminMessages
