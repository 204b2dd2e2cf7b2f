#pragma once

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace Enrolix {

class Countdown;
struct Settings;

// The attendant's face and clock: replies sent, failed connections, the last connection's
// state and the seconds to the next pass, with buttons to start, stop, process now and hide.
// The pass runs elsewhere: the window answers clicks while it runs, and a click made during a
// pass takes effect when the pass ends, in the order made.
class frmAutoAttend final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAutoAttend)

public:
    // Loads the window hidden with its timer off and the countdown set to the full wait.
    explicit frmAutoAttend(const Settings& settings, QWidget* parent = nullptr);
    ~frmAutoAttend() override;

    // Starts the processing pass that a tick reaching zero runs; the pass reports its end with
    // passEnded().
    void setPass(std::function<void()> start);
    Countdown& countdown() { return *m_countdown; }

    // The main window's Start Auto Processing: shown and running, Hide and Start disabled, Stop
    // enabled, Process Now as it was.
    void startRunning();

    // What the pass reports: the displays change at once.
    void statusChanged(const QString& status);
    void replySent(qint16 requestsProcessed);
    void connectionFailed(qint16 connectionFailures, const QString& reason);
    // The pass has ended: the clock runs again and the clicks made meanwhile take effect.
    void passEnded();

Q_SIGNALS:
    // The user pressed Hide: the main window comes back.
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Click { Start, Stop, ProcessNow, Hide, StartEntry };
    // Which buttons are enabled: Start, Stop, Hide and Process Now. Nothing for Process Now
    // leaves it as it is.
    struct Buttons
    {
        bool start, stop, exit;
        std::optional<bool> process;
    };
    // Running: Stop and Process Now; stopped: Start and Hide; running as the main window's
    // Start Auto Processing leaves it: Stop, and Process Now as it was.
    static constexpr Buttons kRunning{false, true, false, true};
    static constexpr Buttons kStopped{true, false, true, false};
    static constexpr Buttons kRunningFromMainWindow{false, true, false, std::nullopt};

    void buildControls();
    // Does what the click asks, or notes it for the end of the pass under way.
    void click(Click click);
    void apply(Click click);
    void applyDeferred();
    void setButtons(const Buttons& buttons);
    void showCountdown();

    Countdown* m_countdown{nullptr};
    QList<Click> m_deferred;

    QLabel* Label2{nullptr};
    QProgressBar* pbrAuto{nullptr};
    QLabel* Label3{nullptr};
    QLineEdit* Text1{nullptr};
    QLabel* Label5{nullptr};
    QLineEdit* Text4{nullptr};
    QLabel* Label6{nullptr};
    QLineEdit* Text5{nullptr};
    QLabel* Label7{nullptr};
    QLineEdit* Text6{nullptr};
    QPushButton* cmdExit{nullptr};
    QPushButton* cmdStop{nullptr};
    QPushButton* cmdStart{nullptr};
    QPushButton* cmdProcess{nullptr};
};

} // namespace Enrolix
