#pragma once

#include <QString>

namespace Enrolix {

// The per-user data folder ($XDG_DATA_HOME/enrolix/), ending in the folder separator.
// It is the default of the three folder settings and holds the default Maildir mailbox.
QString defaultDataFolder();

// Creates the default data folder when it is missing. Returns false if it cannot be created.
bool ensureDefaultDataFolder();

} // namespace Enrolix
