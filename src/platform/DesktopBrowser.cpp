#include "platform/DesktopBrowser.h"

#include <QDesktopServices>

namespace Enrolix {

bool DesktopBrowser::open(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

} // namespace Enrolix
