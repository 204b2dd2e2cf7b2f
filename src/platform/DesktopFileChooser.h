#pragma once

#include "platform/FileChooser.h"

namespace Enrolix {

class DesktopFileChooser final : public FileChooser
{
public:
    QString saveFileName(QWidget* owner, const QString& caption, const QString& suggested,
                         const QString& filter) override;
};

} // namespace Enrolix
