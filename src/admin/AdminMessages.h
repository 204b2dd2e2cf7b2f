#pragma once

#include "platform/Message.h"

namespace Enrolix::AdminMessages {

// The working folder could not be listed.
Message couldNotAccessFiles();

// The selected event's files are gone since the list was last refreshed.
Message eventNoLongerOpen(const QString& event);

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
