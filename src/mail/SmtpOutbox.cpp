#include "mail/SmtpOutbox.h"

#include "mail/MailProfile.h"

#include <QSysInfo>
#include <QUrl>

namespace Enrolix {

SmtpOutbox::SmtpOutbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport)
    : m_transport(std::move(transport))
{
    // libcurl greets the server with the URL's path as the EHLO name.
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    const QUrl server(profile.outbox);
    m_url = server.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toEncoded() + '/' +
            QUrl::toPercentEncoding(host);
}

SendResult SmtpOutbox::send(const QString& from, const QString& to, const QByteArray& message)
{
    if (m_transport->send(m_url, '<' + from.toUtf8() + '>', '<' + to.toUtf8() + '>', message))
        return SendResult::Sent;
    // An answer to RCPT concerns that recipient alone: for good (5xx) or for now (4xx). Anything
    // else (the server unreachable or silent, a refused sign-on or sender, a full disk there)
    // keeps every further reply from going out.
    const TransportFailure failure = m_transport->failure();
    if (failure.stage == TransportFailure::Stage::Recipient && !m_transport->lost()) {
        if (failure.serverCode / 100 == 5)
            return SendResult::Refused;
        if (failure.serverCode / 100 == 4)
            return SendResult::Deferred;
    }
    return SendResult::Unavailable;
}

} // namespace Enrolix
