#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace Enrolix {

struct Settings;

// The attendant's clock: a one-second timer counting down to the next processing pass.
// Production lets the timer call tick(); tests call tick() themselves.
class Countdown final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Countdown)

public:
    explicit Countdown(const Settings& settings, QObject* parent = nullptr);

    // Starts one processing pass; called inside the tick that brings the countdown to zero. The
    // timer stays off from then until passEnded().
    void setPass(std::function<void()> start) { m_pass = std::move(start); }
    // The pass has ended: the timer runs again, and passFinished() follows.
    void passEnded();
    bool passRunning() const { return m_passRunning; }

    // Sets the countdown to the full wait, as when the attendant window loads.
    void load();
    // One second: count down, update the bar and the seconds text, run a pass at zero.
    void tick();

    // The one-second timer (Timer1). It is off during a pass.
    void setTimerEnabled(bool enabled);
    bool timerEnabled() const { return m_timer.isActive(); }

    qint16 iTimerSeconds() const { return m_seconds; }
    void setTimerSeconds(qint16 seconds) { m_seconds = seconds; }

    // The progress value of the last tick, 1 to 100.
    int progress() const { return m_progress; }
    // The seconds left as shown: a blank (or a minus sign) before the digits.
    QString secondsText() const;

    // Progress value for a number of seconds left: rounded half to even, kept within 1 to 100.
    static int progressFor(qint16 seconds, double progressFactor);

Q_SIGNALS:
    // After every tick's display values have changed (before a pass runs in that tick).
    void displayChanged();
    // A pass has ended and the timer runs again.
    void passFinished();

private:
    const Settings& m_settings;
    QTimer m_timer;
    std::function<void()> m_pass;
    bool m_passRunning{false};
    qint16 m_seconds{0};
    int m_progress{0};
};

} // namespace Enrolix
