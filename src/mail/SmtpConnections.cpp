#include "mail/SmtpConnections.h"

namespace Enrolix {

std::optional<QString> SmtpConnections::stopped() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopped;
}

QString SmtpConnections::stop(const QString& failure)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_stopped)
        m_stopped = failure;
    return *m_stopped;
}

std::optional<int> SmtpConnections::extendStreak(const SmtpRefusal& refusal, const QString& to)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_streak || !m_streak->sameAs(refusal)) {
        m_streak = refusal;
        m_streakRecipients.clear();
    }
    m_streakRecipients.insert(to.toLower());
    if (m_streakRecipients.size() < kRefusalStreak)
        return std::nullopt;
    return int(m_streakRecipients.size());
}

void SmtpConnections::endStreak()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_streak.reset();
    m_streakRecipients.clear();
}

void SmtpConnections::working()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_working;
}

void SmtpConnections::sendingStarted()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_sending;
}

void SmtpConnections::sendingEnded()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    --m_sending;
}

bool SmtpConnections::leave(bool working, const QString& failure)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (working)
        --m_working;
    // A connection still at its first mail is no sign yet that the server is out of reach.
    if (m_working > 0 || m_sending > 0)
        return true;
    // Another connection would only cost another time limit.
    if (!m_stopped)
        m_stopped = failure;
    return false;
}

} // namespace Enrolix
