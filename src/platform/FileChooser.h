#pragma once

#include <QString>

class QWidget;

namespace Enrolix {

// Asks where to save a file. The desktop version is the system's save dialog; tests give the
// path themselves, so no test waits on a dialog.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The chosen path, or empty when the coordinator cancelled.
    virtual QString saveFileName(QWidget* owner, const QString& caption, const QString& suggested,
                                 const QString& filter) = 0;
};

} // namespace Enrolix
