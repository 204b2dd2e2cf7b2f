#pragma once

#include "platform/FileChooser.h"

#include <QStringList>

namespace Enrolix::Testing {

// Answers every save dialog with the path a test set (empty: cancelled) and keeps what was asked.
class FakeFileChooser final : public FileChooser
{
public:
    QString saveFileName(QWidget*, const QString& caption, const QString& suggested, const QString&) override
    {
        asked << caption + QLatin1Char('|') + suggested;
        return answer;
    }
    QString answer;
    QStringList asked;
};

} // namespace Enrolix::Testing
