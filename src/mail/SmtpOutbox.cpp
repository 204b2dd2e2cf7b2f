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
    if (m_refused)
        return SendResult::Unavailable;
    if (m_transport->send(m_url, '<' + from.toUtf8() + '>', '<' + to.toUtf8() + '>', message)) {
        endStreak();
        return SendResult::Sent;
    }
    const TransportFailure failure = m_transport->failure();
    m_failure = failure.reason;
    // Without an answer (the server unreachable, silent, lost) no further reply can go out.
    if (m_transport->lost() || failure.serverCode < 400)
        return SendResult::Unavailable;
    return sortRefusal(failure, to);
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
        endStreak();
        return SendResult::Deferred;
    }
    // An answer that names the mailbox is taken at its word.
    if (concern == SmtpRefusal::Concern::Mailbox && !refusal.enhancedCode().isEmpty()) {
        endStreak();
        return SendResult::Refused;
    }
    if (extendsStreak(refusal, to))
        return refusesProfile(failure.server,
                              refusal.quoted() +
                                  QStringLiteral(" (%1 recipients in a row)").arg(m_streakRecipients.size()));
    // Not about the address itself: the mail waits for a later pass rather than be given up.
    return concern == SmtpRefusal::Concern::Mailbox ? SendResult::Refused : SendResult::Deferred;
}

bool SmtpOutbox::extendsStreak(const SmtpRefusal& refusal, const QString& to)
{
    if (!m_streak || !m_streak->sameAs(refusal)) {
        m_streak = refusal;
        m_streakRecipients.clear();
    }
    m_streakRecipients.insert(to.toLower());
    return m_streakRecipients.size() >= kRefusalStreak;
}

void SmtpOutbox::endStreak()
{
    m_streak.reset();
    m_streakRecipients.clear();
}

SendResult SmtpOutbox::refusesProfile(const QString& server, const QString& answer)
{
    m_refused = true;
    m_failure = server + QStringLiteral(": the server refuses to send mail: ") + answer;
    return SendResult::Unavailable;
}

} // namespace Enrolix
