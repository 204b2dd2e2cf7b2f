#pragma once

#include "platform/Message.h"

namespace Enrolix::AdminMessages {

// The working folder could not be listed.
Message couldNotAccessFiles();

// The selected event's files are gone since the list was last refreshed.
Message eventNoLongerOpen(const QString& event);

} // namespace Enrolix::AdminMessages
