#pragma once

#include <QString>

namespace Enrolix {

// The per-user data folder ($XDG_DATA_HOME/enrolix/), ending in the folder separator.
// It is the default of the three folder settings and holds the default Maildir mailbox.
QString defaultDataFolder();

} // namespace Enrolix
