#pragma once

#include "platform/HelpViewer.h"

#include <QPointer>

class QTextBrowser;

namespace Enrolix {

// The help as HTML pages in a folder, shown in one in-app window with back and forward.
class DesktopHelpViewer final : public HelpViewer
{
public:
    ~DesktopHelpViewer() override;
    void showTopic(const QString& helpFile, const QString& topic, QWidget* owner) override;

    // The help folder beside the program, or in the installed data folder.
    static QString defaultHelpFile();

    QWidget* window() const;

private:
    QPointer<QWidget> m_window;
    QPointer<QTextBrowser> m_browser;
};

} // namespace Enrolix
