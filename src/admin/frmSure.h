#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace Enrolix {

struct AppContext;
class LockRetry;

// Asks before closing an event, and closes it on Yes. Yes never waits for the working folder's
// lock; No, or leaving the dialog, gives up a closing that still waits for it.
class frmSure final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSure)

public:
    // passRunning: whether this program's own pass runs, which refuses a closing at once.
    frmSure(AppContext& context, std::function<bool()> passRunning, QWidget* parent = nullptr);
    ~frmSure() override;

    // The event that Yes closes; the question names it from now on.
    void askToClose(const QString& event);

Q_SIGNALS:
    // Yes or No was answered and the dialog hid itself.
    void left();
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onYes();
    void onNo();
    // False when the working folder was busy and nothing was done.
    bool tryClose(const QString& event);
    void leave();

    AppContext& m_context;
    LockRetry* m_lockRetry{nullptr};
    QString m_event;

    QLabel* lblCancelYN{nullptr};
    QLabel* lblCancel{nullptr};
    QLabel* lblConfirm{nullptr};
    QPushButton* cmdYes{nullptr};
    QPushButton* cmdNo{nullptr};
};

} // namespace Enrolix
