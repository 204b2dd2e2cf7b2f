#include "platform/DesktopFileChooser.h"

#include <QFileDialog>

namespace Enrolix {

QString DesktopFileChooser::saveFileName(QWidget* owner, const QString& caption, const QString& suggested,
                                         const QString& filter)
{
    return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
}

} // namespace Enrolix
