#pragma once

#include "platform/mail/CurlConnection.h"
#include "platform/mail/MailOutbox.h"

namespace Enrolix {

struct MailProfile;

// Replies sent through an SMTP server over one connection per pass.
class SmtpOutbox final : public MailOutbox
{
public:
    SmtpOutbox(const MailProfile& profile, const QString& password, const TransportLimits& limits,
               std::shared_ptr<TroubleClock> clock);

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;
    QString failure() const override { return m_connection.failure(); }

private:
    QByteArray m_url;
    CurlConnection m_connection;
};

} // namespace Enrolix
