#pragma once

#include <QMainWindow>
#include <QPointer>

class QListWidget;
class QPlainTextEdit;
class QMenu;
class QAction;
class QToolBar;
class QWindow;

namespace Enrolix {

struct AppContext;

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
    // Shows the selected event's description and sign-up list, read again from disk.
    void ShowSelectedEvent();

    // The text of the selected entry, empty when nothing is selected.
    QString selectedEvent() const;
    // The sign-up list as read from the file, with its own line ends (for the copy command).
    QString attendeeText() const { return m_attendeeText; }

    // Runs the toolbar button at a position, 1 to 5 from the left.
    void Toolbar1_ButtonClick(int index);
    // Copies the shown sign-up list to the clipboard, or says there is nothing to copy.
    void copyAttendees();
    // Opens the help at its welcome topic.
    void showHelp();

    QToolBar* Toolbar1{nullptr};
    QListWidget* lstEvent{nullptr};
    QPlainTextEdit* txtName{nullptr};
    QPlainTextEdit* txtAttendees{nullptr};

    QMenu* mnuFile{nullptr};
    QAction* mnuNew{nullptr};
    QAction* mnuClose{nullptr};
    QAction* mnuExit{nullptr};
    QMenu* mnuTools{nullptr};
    QAction* mnuOptions{nullptr};
    QAction* mnuStartup{nullptr};
    QMenu* mnuAP{nullptr};
    QAction* mnuBegin{nullptr};
    QMenu* mnuHelp{nullptr};
    QAction* mnuContent{nullptr};
    QAction* mnuAbout{nullptr};

Q_SIGNALS:
    // Exit, or the frame's close box: the program ends at once.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void placeControls();
    void applyLayoutRules();
    void setAttendeeText(const QString& text);
    void onFocusWindowChanged(QWindow* now);

    AppContext& m_context;
    QString m_attendeeText;
    QPointer<QWindow> m_previousFocusWindow;
};

} // namespace Enrolix
