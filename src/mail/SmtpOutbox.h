#pragma once

#include "mail/MailOutbox.h"
#include "mail/MailTransport.h"
#include "mail/SmtpRefusal.h"

#include <QSet>

#include <memory>
#include <optional>

namespace Enrolix {

struct MailProfile;

// Replies sent through an SMTP server over one connection per pass. A refusal is sorted by what
// it concerns: one recipient (given up for good, or put off) or the profile (relaying denied,
// sign-on wanted, the sender not accepted), after which nothing more of the session is sent.
class SmtpOutbox final : public MailOutbox
{
public:
    // The same permanent refusal for this many different recipients in a row, without an answer
    // that names the mailbox, is taken as the server's refusal of the profile.
    static constexpr int kRefusalStreak = 3;

    SmtpOutbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport);

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;
    QString failure() const override { return m_failure; }

private:
    SendResult sortRefusal(const TransportFailure& failure, const QString& to);
    // Counts a permanent recipient refusal that names no mailbox; true once it makes a streak.
    bool extendsStreak(const SmtpRefusal& refusal, const QString& to);
    void endStreak();
    SendResult refusesProfile(const QString& server, const QString& answer);

    QByteArray m_url;
    std::unique_ptr<MailTransport> m_transport;
    QString m_failure;
    // The server refused the profile: every further mail of the session is Unavailable at once.
    bool m_refused{false};
    // The permanent refusal given to the last recipients in a row, and to whom.
    std::optional<SmtpRefusal> m_streak;
    QSet<QString> m_streakRecipients;
};

} // namespace Enrolix
