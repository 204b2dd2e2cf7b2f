#pragma once

#include "mail/MailOutbox.h"
#include "mail/MailTransport.h"
#include "mail/SmtpConnections.h"

#include <memory>

namespace Enrolix {

struct MailProfile;

// Replies sent through an SMTP server over one connection, beside the other connections of its
// session. A refusal is sorted by what it concerns: one recipient (given up for good, or put off)
// or the profile (relaying denied, sign-on wanted, the sender not accepted), after which no
// connection of the session sends any more. A connection lost while another one that has sent mail
// still can puts its mail off for a later pass; otherwise the server is out of reach, and no
// connection of the session tries it again.
class SmtpOutbox final : public MailOutbox
{
public:
    static constexpr int kRefusalStreak = SmtpConnections::kRefusalStreak;

    // connections: what the connections of the session share; the outbox is the only one without.
    SmtpOutbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport,
               std::shared_ptr<SmtpConnections> connections = {});

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;
    QString failure() const override { return m_failure; }
    bool lost() const override { return m_lost || m_connections->stopped().has_value(); }

private:
    SendResult sortRefusal(const TransportFailure& failure, const QString& to);
    SendResult refusesProfile(const QString& server, const QString& answer);
    SendResult connectionLost();

    QByteArray m_url;
    std::unique_ptr<MailTransport> m_transport;
    std::shared_ptr<SmtpConnections> m_connections;
    QString m_failure;
    // This connection has sent mail; it failed without an answer and sends no more.
    bool m_working{false};
    bool m_lost{false};
};

} // namespace Enrolix
