#include "platform/mail/SmtpOutbox.h"

#include "platform/mail/MailProfile.h"

#include <QSysInfo>
#include <QUrl>

namespace Enrolix {

SmtpOutbox::SmtpOutbox(const MailProfile& profile, const QString& password) : m_connection(profile, password)
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
    // Only a permanent refusal of the recipient gives the reply up; anything else (the
    // server unreachable, a sign-on refused, a full disk) may pass and is tried again later.
    const bool recipientRefused = m_connection.code() == CURLE_SEND_ERROR &&
                                  m_connection.error().startsWith(QLatin1String("RCPT failed")) &&
                                  m_connection.responseCode() / 100 == 5;
    return recipientRefused ? SendResult::Refused : SendResult::Transient;
}

} // namespace Enrolix
