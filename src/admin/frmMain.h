#pragma once

#include "events/EventSelection.h"

#include <QMainWindow>
#include <QPointer>

#include <initializer_list>

class QListWidget;
class QPlainTextEdit;
class QMenu;
class QAction;
class QToolBar;
class QWindow;

namespace Enrolix {

struct AppContext;
namespace AdminMessages {
struct ToolbarTexts;
}

// The coordinator's home: the open events, the selected event's description and sign-up list,
// and the menus that reach every other window.
class frmMain final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    explicit frmMain(AppContext& context, QWidget* parent = nullptr);
    ~frmMain() override;

    // Rebuilds the list from the working folder; reports a failure in a box and returns.
    void RefreshEventList();

    // The selected event, empty when nothing is selected.
    QString selectedEvent() const;
    // The shown sign-up list as read from the file, with its own line ends.
    QString attendeeText() const { return m_shown.attendees; }

Q_SIGNALS:
    // The menu commands that lead to other windows.
    void newEventRequested();
    void closeEventRequested();
    void optionsRequested();
    void startupScreenRequested();
    void accountRequested();
    void autoProcessingRequested();
    void aboutRequested();
    void drawLotteryRequested();
    void exportSignUpsRequested();
    // Exit, or the frame's close box: the program ends at once.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct MenuEntry
    {
        const char* name;
        const QString& caption;
        void (frmMain::*command)();
    };

    struct ToolbarEntry
    {
        // The icon's name among the program's images.
        const char* image;
        const AdminMessages::ToolbarTexts& texts;
        void (frmMain::*command)();
    };

    // Every menu of the menu bar, in display order.
    void buildMenus();
    QMenu* addMenu(const char* name, const QString& caption, std::initializer_list<MenuEntry> entries);
    // Every button of the toolbar, from the left.
    void buildToolbar();
    void addToolbarButtons(std::initializer_list<ToolbarEntry> entries);
    void ShowSelectedEvent();
    void display(const EventSelection& selection);
    // Copies the shown sign-up list to the clipboard, or says there is nothing to copy.
    void copyAttendees();
    void showHelp();
    void onFocusWindowChanged(QWindow* now);

    AppContext& m_context;
    EventSelection m_shown;
    QPointer<QWindow> m_previousFocusWindow;

    QToolBar* Toolbar1{nullptr};
    QListWidget* lstEvent{nullptr};
    QPlainTextEdit* txtName{nullptr};
    QPlainTextEdit* txtAttendees{nullptr};
};

} // namespace Enrolix
