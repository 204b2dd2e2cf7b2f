#include "platform/DesktopHelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace Enrolix {

DesktopHelpViewer::~DesktopHelpViewer()
{
    delete m_window.data();
}

QString DesktopHelpViewer::defaultHelpFile()
{
    const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/enrolix2");
    if (QFileInfo(besideProgram).isDir())
        return besideProgram;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/enrolix/enrolix2"));
}

QWidget* DesktopHelpViewer::window() const
{
    return m_window;
}

void DesktopHelpViewer::showTopic(const QString& helpFile, const QString& topic, QWidget* owner)
{
    if (!m_window) {
        // A window of its own (no parent), so it stays usable beside the program's other windows.
        m_window = new QWidget(nullptr, Qt::Window);
        m_window->setObjectName(QStringLiteral("helpWindow"));
        m_window->setWindowTitle(QObject::tr("Enrolix Help"));
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_browser = new QTextBrowser(m_window);
        m_browser->setObjectName(QStringLiteral("helpBrowser"));
        m_browser->setAccessibleName(QObject::tr("Help topic"));
        m_browser->setOpenExternalLinks(true);
        auto* tools = new QToolBar(m_window);
        QAction* back = tools->addAction(QObject::tr("Back"), m_browser, &QTextBrowser::backward);
        QAction* forward = tools->addAction(QObject::tr("Forward"), m_browser, &QTextBrowser::forward);
        QAction* home = tools->addAction(QObject::tr("Contents"), m_browser, &QTextBrowser::home);
        back->setEnabled(false);
        forward->setEnabled(false);
        QObject::connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        QObject::connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        Q_UNUSED(home);
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(tools);
        layout->addWidget(m_browser);
        m_window->resize(720, 560);
    }

    const QString page = helpFile + QLatin1Char('/') + topic;
    if (QFileInfo::exists(page)) {
        m_browser->setSearchPaths({helpFile});
        m_browser->setSource(QUrl::fromLocalFile(page));
    } else {
        m_browser->setHtml(QObject::tr("<h2>Help is not available</h2><p>The help topic <b>%1</b> could not be found "
                                       "in <b>%2</b>. Reinstall Enrolix to restore its help.</p>")
                               .arg(topic.toHtmlEscaped(), helpFile.toHtmlEscaped()));
    }
    if (owner) {
        // Centred over the owner, but never pushed off its screen.
        const QRect screen = owner->screen()->availableGeometry();
        QRect frame(QPoint(), m_window->size());
        frame.moveCenter(owner->geometry().center());
        frame.moveLeft(
            std::clamp(frame.left(), screen.left(), std::max(screen.left(), screen.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), screen.top(), std::max(screen.top(), screen.bottom() - frame.height())));
        m_window->move(frame.topLeft());
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace Enrolix
