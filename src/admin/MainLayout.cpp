#include "admin/MainLayout.h"

#include "gui/Twips.h"

#include <QMainWindow>
#include <QMenuBar>

#include <algorithm>

namespace Enrolix {
namespace {

// Design lengths in twips: the window's minimum outer size, what the three controls lose of
// the outer height and width, and the toolbar's height within the client area.
constexpr int kMinimumWidth = 8000;
constexpr int kMinimumHeight = 4000;
constexpr int kHeightLess = 1440;
constexpr int kNameWidthLess = 5670;
constexpr int kAttendeesLeftLess = 3030;
constexpr int kToolbarHeight = 420;
constexpr int kControlsTop = 600;

} // namespace

void MainLayout::place() const
{
    QMainWindow* window = &m_window;
    // Design positions are client-area twips below the toolbar; the central widget starts
    // below the window's own tool and menu bars.
    m_list.setGeometry(twipsRect(135, kControlsTop - kToolbarHeight, 2520, 3150, window));
    m_name.setGeometry(twipsRect(2655, kControlsTop - kToolbarHeight, 2895, 3570, window));
    m_attendees.setGeometry(twipsRect(5535, kControlsTop - kToolbarHeight, 2775, 3570, window));
    window->setMinimumSize(twipsToPixels(kMinimumWidth, window), twipsToPixels(kMinimumHeight, window));
    window->resize(twipsToPixels(8445, window), twipsToPixels(4320, window) + window->menuBar()->sizeHint().height());
}

void MainLayout::follow() const
{
    QMainWindow* window = &m_window;
    if (window->isMinimized())
        return;
    // The rules speak of the outer size, frame included; the window system stops a drag at the
    // minimum, and the checks below catch whatever else resizes the window.
    const QSize frame = window->frameGeometry().size() - window->size();
    window->setMinimumSize(QSize(twipsToPixels(kMinimumWidth, window), twipsToPixels(kMinimumHeight, window)) - frame);
    int width = pixelsToTwips(window->frameGeometry().width(), window);
    int height = pixelsToTwips(window->frameGeometry().height(), window);
    if (width < kMinimumWidth || height < kMinimumHeight) {
        width = std::max(width, kMinimumWidth);
        height = std::max(height, kMinimumHeight);
        window->resize(QSize(twipsToPixels(width, window), twipsToPixels(height, window)) - frame);
    }
    const int controlsHeight = twipsToPixels(height - kHeightLess, window);
    for (QWidget* control : {&m_name, &m_attendees, &m_list})
        control->resize(control->width(), controlsHeight);
    m_name.resize(twipsToPixels(width - kNameWidthLess, window), controlsHeight);
    m_attendees.move(twipsToPixels(width - kAttendeesLeftLess, window), m_attendees.y());
}

} // namespace Enrolix
