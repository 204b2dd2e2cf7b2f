#include "platform/DataFolder.h"

#include <QStandardPaths>

namespace Enrolix {

QString defaultDataFolder()
{
    // GenericDataLocation rather than AppLocalDataLocation, which would add an organisation level.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/enrolix/");
}

} // namespace Enrolix
