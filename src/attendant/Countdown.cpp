#include "attendant/Countdown.h"

#include "settings/Settings.h"

#include <cmath>

namespace Enrolix {

Countdown::Countdown(const Settings& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &Countdown::tick);
}

void Countdown::load()
{
    m_seconds = m_settings.Seconds_Wait_Between_Email_Processing;
}

int Countdown::progressFor(qint16 seconds, double progressFactor)
{
    const double value = std::nearbyint(double(seconds) * progressFactor); // halves to even
    if (value > 100.0)
        return 100;
    if (value < 1.0)
        return 1;
    return int(value);
}

QString Countdown::secondsText() const
{
    return m_seconds >= 0 ? QLatin1Char(' ') + QString::number(m_seconds) : QString::number(m_seconds);
}

void Countdown::setTimerEnabled(bool enabled)
{
    if (enabled && !m_timer.isActive())
        m_timer.start();
    else if (!enabled)
        m_timer.stop();
}

void Countdown::tick()
{
    if (m_seconds > kInt16Min)
        --m_seconds;
    m_progress = progressFor(m_seconds, m_settings.ProgressFactor);
    Q_EMIT displayChanged();
    if (m_seconds > 0)
        return;

    // The pass runs with the timer off, so ticks cannot pile up behind a long pass.
    m_seconds = m_settings.Seconds_Wait_Between_Email_Processing;
    setTimerEnabled(false);
    m_passRunning = true;
    if (m_pass)
        m_pass();
    else
        passEnded();
}

void Countdown::passEnded()
{
    if (!m_passRunning)
        return;
    m_passRunning = false;
    setTimerEnabled(true);
    Q_EMIT passFinished();
}

} // namespace Enrolix
