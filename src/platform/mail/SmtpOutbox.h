#pragma once

#include "platform/mail/CurlConnection.h"
#include "platform/mail/MailOutbox.h"

namespace Enrolix {

struct MailProfile;

// Replies sent through an SMTP server over one connection per pass.
class SmtpOutbox final : public MailOutbox
{
public:
    SmtpOutbox(const MailProfile& profile, const QString& password);

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;

private:
    QByteArray m_url;
    CurlConnection m_connection;
};

} // namespace Enrolix
