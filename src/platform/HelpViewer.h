#pragma once

#include <QString>

class QWidget;

namespace Enrolix {

// Shows a topic of the program's help. A missing help file is reported by the viewer itself.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    virtual void showTopic(const QString& helpFile, const QString& topic, QWidget* owner) = 0;
};

} // namespace Enrolix
