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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void placeControls();
    void setAttendeeText(const QString& text);
    void onFocusWindowChanged(QWindow* now);

    AppContext& m_context;
    QString m_attendeeText;
    QPointer<QWindow> m_previousFocusWindow;
};

} // namespace Enrolix
