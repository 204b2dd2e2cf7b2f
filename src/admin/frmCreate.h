#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Enrolix {

struct AppContext;
class LockRetry;

// The create dialog: the coordinator types the event information and date(s) and creates the
// event. Navigation (back to the main window, on to the address window) is wired by Windows.
// The button never waits for the working folder's lock; leaving the dialog gives up a creation
// that still waits for it.
class frmCreate final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmCreate)

public:
    // passRunning: whether this program's own pass runs, which refuses a creation at once.
    frmCreate(AppContext& context, std::function<bool()> passRunning, QWidget* parent = nullptr);
    ~frmCreate() override;

    // Empties the date box, as coming back from the address window does; the event information stays.
    void clearDates();

Q_SIGNALS:
    // The event's files are all written; its address can be shown.
    void created(const QString& event);
    // "Back to Admin Panel": the texts stay in the boxes.
    void returnRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeControls();
    void onCreate();
    // False when the working folder was busy and nothing was done.
    bool tryCreate(const QString& information, const QString& dates);

    AppContext& m_context;
    LockRetry* m_lockRetry{nullptr};

    QLabel* lblNewEventTitle{nullptr};
    QLabel* lblCreateEvent{nullptr};
    QLabel* lblEventInfo{nullptr};
    QPlainTextEdit* txtTextBox1{nullptr};
    QLabel* lblEventDates{nullptr};
    QPlainTextEdit* txtTextBox2{nullptr};
    QLabel* Label1{nullptr};
    QPushButton* cmdCreate{nullptr};
    QLabel* lblEventNote{nullptr};
    QPushButton* cmdReturn{nullptr};
};

} // namespace Enrolix
