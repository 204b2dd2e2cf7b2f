#pragma once

#include "attendant/PassListener.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace Enrolix {

class Countdown;
struct Settings;

// The attendant's face and clock: replies sent, failed connections, the last connection's
// state and the seconds to the next pass, with buttons to start, stop, process now and hide.
class frmAutoAttend final : public QWidget, public PassListener
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAutoAttend)

public:
    // Loads the window hidden with its timer off and the countdown set to the full wait.
    explicit frmAutoAttend(const Settings& settings, QWidget* parent = nullptr);
    ~frmAutoAttend() override;

    // The processing pass that a tick reaching zero runs.
    void setPass(std::function<void()> pass);
    Countdown& countdown() { return *m_countdown; }

    // PassListener: the displays change at once, also while the pass holds the event loop.
    void statusChanged(const QString& status) override;
    void replySent(qint16 requestsProcessed) override;
    void connectionFailed(qint16 connectionFailures, const QString& reason) override;

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

Q_SIGNALS:
    // The user pressed Hide: the main window comes back.
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void onStart();
    void onStop();
    void onProcessNow();
    void onHide();
    void showCountdown();

    Countdown* m_countdown{nullptr};
};

} // namespace Enrolix
