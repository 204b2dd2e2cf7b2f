#pragma once

#include "mail/SmtpRefusal.h"

#include <QSet>
#include <QString>

#include <mutex>
#include <optional>

namespace Enrolix {

// What the SMTP connections of one session learn together, each from its own thread: whether they
// are to stop (the server refuses the profile, or cannot be reached by any of them), the streak of
// refusals that would show a refusal, how many connections have sent mail and still can, and how
// many are sending now.
class SmtpConnections
{
public:
    // The same permanent refusal for this many different recipients in a row, without an answer
    // that names the mailbox, is taken as the server's refusal of the profile.
    static constexpr int kRefusalStreak = 3;

    // Why no connection sends any more, once none does.
    std::optional<QString> stopped() const;
    // Stops them all for failure; returns the failure they stopped for, which is the first one
    // given when connections at work at once fail together.
    QString stop(const QString& failure);
    // Counts a permanent recipient refusal that names no mailbox; the number of recipients it was
    // given to in a row once they make a streak.
    std::optional<int> extendStreak(const SmtpRefusal& refusal, const QString& to);
    void endStreak();
    // A connection sent its first mail.
    void working();
    // A connection hands a mail to the server, and has its answer.
    void sendingStarted();
    void sendingEnded();
    // A connection was lost (working: it had sent mail); true while another one that sent mail
    // still can, or is sending now and may yet. Otherwise the server is out of reach, for the
    // reason given: all stop.
    bool leave(bool working, const QString& failure);

private:
    mutable std::mutex m_mutex;
    std::optional<QString> m_stopped;
    std::optional<SmtpRefusal> m_streak;
    QSet<QString> m_streakRecipients;
    int m_working{0};
    int m_sending{0};
};

} // namespace Enrolix
