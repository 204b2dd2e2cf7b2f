#include "platform/mail/SmtpOutbox.h"

#include "platform/mail/MailProfile.h"

#include <QSysInfo>
#include <QUrl>

namespace Enrolix {

SmtpOutbox::SmtpOutbox(const MailProfile& profile, const QString& password, const TransportLimits& limits,
                       std::shared_ptr<TroubleClock> clock)
    : m_connection(profile, password, limits, std::move(clock))
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
    if (m_connection.upload(m_url, '<' + from.toUtf8() + '>', '<' + to.toUtf8() + '>', message))
        return SendResult::Sent;
    // An answer to RCPT concerns that recipient alone: for good (5xx) or for now (4xx). Anything
    // else (the server unreachable or silent, a refused sign-on or sender, a full disk there)
    // keeps every further reply from going out.
    const bool atRecipient =
        m_connection.code() == CURLE_SEND_ERROR && m_connection.error().startsWith(QLatin1String("RCPT failed"));
    if (atRecipient && !m_connection.lost()) {
        const long answer = m_connection.responseCode() / 100;
        if (answer == 5)
            return SendResult::Refused;
        if (answer == 4)
            return SendResult::Deferred;
    }
    return SendResult::Unavailable;
}

} // namespace Enrolix
