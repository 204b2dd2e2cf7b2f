#pragma once

#include "lottery/LotteryDesk.h"
#include "platform/JobThread.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace Enrolix {

struct AppContext;
class EventFiles;
class NotifyJob;
struct NotifyOutcome;
struct ReleaseOutcome;

// The draw window: a closed event, its seats and draw key, the ranked result, and the draw's
// file, CSV export, notifications and released seats. The drawing itself is LotteryDesk's,
// the sending and releasing NotifyJob's.
class frmDraw final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDraw)

public:
    explicit frmDraw(AppContext& context, QWidget* parent = nullptr);
    // Asks notifications under way to stop after the mail being sent, and waits for them.
    ~frmDraw() override;

    // Lists the closed events anew. False, after saying so, when there is none to draw.
    bool listClosedEvents();
    // True while notifications are going out.
    bool sending() const { return m_sending; }

Q_SIGNALS:
    // Back to Admin Panel, or the frame's close box when nothing is being sent.
    void backRequested();
    // A Send Notifications run has ended and its box been shown.
    void sendingFinished();
    // A release has ended, the list shows it, and its box, if any, has been shown.
    void releaseFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void onDraw();
    void onSave();
    void onExport();
    void onSend();
    void onSent(const NotifyOutcome& outcome);
    void onRelease();
    void onReleased(const ReleaseOutcome& outcome);
    // Reads the chosen event with its draw and moves, again each time, and shows them.
    void reloadEvent();
    void showDraw();
    void updateButtons();

    AppContext& m_context;
    std::unique_ptr<EventFiles> m_files;
    LotteryDesk m_desk;
    JobThread<NotifyJob> m_notifications;
    bool m_sending{false};
    // A release waits for its turn or is being written.
    bool m_releasing{false};

    QListWidget* lstClosed{nullptr};
    QPlainTextEdit* txtInformation{nullptr};
    QLabel* lblSignUps{nullptr};
    QLineEdit* txtSeats{nullptr};
    QLineEdit* txtKey{nullptr};
    QPushButton* cmdDraw{nullptr};
    QPushButton* cmdSave{nullptr};
    QPushButton* cmdExport{nullptr};
    QPushButton* cmdSend{nullptr};
    QPushButton* cmdRelease{nullptr};
    QPushButton* cmdBack{nullptr};
    QListWidget* lstResult{nullptr};
    QProgressBar* prgSend{nullptr};
};

} // namespace Enrolix
