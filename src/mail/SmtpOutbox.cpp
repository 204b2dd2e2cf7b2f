#include "mail/SmtpOutbox.h"

#include "mail/MailProfile.h"

#include <QSysInfo>
#include <QUrl>

namespace Enrolix {

SmtpOutbox::SmtpOutbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport,
                       std::shared_ptr<SmtpConnections> connections)
    : m_transport(std::move(transport)), m_connections(std::move(connections))
{
    if (!m_connections)
        m_connections = std::make_shared<SmtpConnections>();
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
    if (const std::optional<QString> stopped = m_connections->stopped()) {
        m_failure = *stopped;
        return SendResult::Unavailable;
    }
    if (m_lost)
        return SendResult::Unavailable;
    m_connections->sendingStarted();
    const bool sent = m_transport->send(m_url, '<' + from.toUtf8() + '>', '<' + to.toUtf8() + '>', message);
    m_connections->sendingEnded();
    if (sent) {
        m_connections->endStreak();
        if (!m_working)
            m_connections->working();
        m_working = true;
        return SendResult::Sent;
    }
    const TransportFailure failure = m_transport->failure();
    m_failure = failure.reason;
    // Without an answer (the server unreachable, silent, lost) no further reply goes this way.
    if (m_transport->lost() || failure.serverCode < 400)
        return connectionLost();
    return sortRefusal(failure, to);
}

SendResult SmtpOutbox::connectionLost()
{
    m_lost = true;
    // While others send, this was the trouble of one connection: the mail waits for a later pass.
    return m_connections->leave(m_working, m_failure) ? SendResult::Deferred : SendResult::Unavailable;
}

SendResult SmtpOutbox::sortRefusal(const TransportFailure& failure, const QString& to)
{
    const SmtpRefusal refusal(failure.serverCode, failure.answer);
    const SmtpRefusal::Concern concern = refusal.concern();
    if (concern == SmtpRefusal::Concern::Policy)
        return refusesProfile(failure.server, refusal.quoted());
    // A refused sign-on, sender or message keeps every further reply from going out.
    if (failure.stage != TransportFailure::Stage::Recipient)
        return SendResult::Unavailable;
    if (concern == SmtpRefusal::Concern::Transient) {
        m_connections->endStreak();
        return SendResult::Deferred;
    }
    // An answer that names the mailbox is taken at its word.
    if (concern == SmtpRefusal::Concern::Mailbox && !refusal.enhancedCode().isEmpty()) {
        m_connections->endStreak();
        return SendResult::Refused;
    }
    if (const std::optional<int> streak = m_connections->extendStreak(refusal, to))
        return refusesProfile(failure.server,
                              refusal.quoted() + QStringLiteral(" (%1 recipients in a row)").arg(*streak));
    // Not about the address itself: the mail waits for a later pass rather than be given up.
    return concern == SmtpRefusal::Concern::Mailbox ? SendResult::Refused : SendResult::Deferred;
}

SendResult SmtpOutbox::refusesProfile(const QString& server, const QString& answer)
{
    // Replies under way on the other connections may lengthen the streak; the pass reports the
    // refusal that held the profile first.
    m_failure = m_connections->stop(server + QStringLiteral(": the server refuses to send mail: ") + answer);
    return SendResult::Unavailable;
}

} // namespace Enrolix
