#pragma once

#include "mail/MailOutbox.h"
#include "mail/MailTransport.h"

#include <memory>

namespace Enrolix {

struct MailProfile;

// Replies sent through an SMTP server over one connection per pass.
class SmtpOutbox final : public MailOutbox
{
public:
    SmtpOutbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport);

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;
    QString failure() const override { return m_transport->failure().reason; }

private:
    QByteArray m_url;
    std::unique_ptr<MailTransport> m_transport;
};

} // namespace Enrolix
