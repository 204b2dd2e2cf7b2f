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

} // namespace Enrolix::AdminMessages
