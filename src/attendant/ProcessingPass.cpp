#include "attendant/ProcessingPass.h"

#include "attendant/PassListener.h"
#include "attendant/PassStatus.h"
#include "attendant/PendingReplies.h"
#include "attendant/RequestHandler.h"
#include "platform/mail/MailSessionFactory.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <limits>

namespace Enrolix {
namespace {

void increment(qint16& counter)
{
    if (counter < std::numeric_limits<qint16>::max())
        ++counter;
}

} // namespace

ProcessingPass::ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener)
    : m_settings(settings), m_mail(mail), m_listener(listener)
{
}

PassReport ProcessingPass::run()
{
    PassReport report;
    const SignOn signOn = m_mail.signOn(SettingsKeys::kMailProfileName);
    if (!signOn.session) {
        connectionFailed(report, signOn.failure);
        return report;
    }
    MailSession& session = *signOn.session;
    m_listener.statusChanged(PassStatus::kConnecting);
    if (!session.fetchUnread()) {
        session.signOff();
        connectionFailed(report, session.failure());
        return report;
    }
    m_listener.statusChanged(PassStatus::kConnected);
    report.connected = true;

    PendingReplies pending(PendingReplies::pathIn(m_settings.Working_Files_Directory));
    QString failure;
    if (!pending.load())
        failure = QStringLiteral("the file of pending replies %1 cannot be read")
                      .arg(PendingReplies::pathIn(m_settings.Working_Files_Directory));
    RequestHandler handler(m_settings, pending);
    m_session = &session;
    m_seen.clear();
    m_allRead = true;
    const int count = session.count();
    for (int index = 0; index < count; ++index) {
        if (!failure.isEmpty()) {
            session.leaveUnread(index);
            ++report.leftForLater;
            continue;
        }
        switch (handleMail(session, handler, index)) {
        case Handled::Replied:
            ++report.replies;
            break;
        case Handled::PassedOver:
            ++report.passedOver;
            break;
        case Handled::Left:
            ++report.leftForLater;
            break;
        case Handled::RepliesStopped:
            ++report.leftForLater;
            failure = session.failure();
            break;
        }
    }
    // Entries of mails that no longer wait are forgotten, once every unread mail has been seen.
    if (failure.isEmpty() && m_allRead)
        pending.keepOnly(m_seen);
    m_session = nullptr;
    m_selected = -1;
    session.signOff();
    if (failure.isEmpty())
        failure = session.failure();
    if (!failure.isEmpty())
        connectionFailed(report, failure);
    return report;
}

ProcessingPass::Handled ProcessingPass::handleMail(MailSession& session, RequestHandler& handler, int index)
{
    m_selected = index;
    const std::optional<IncomingMail> mail = session.read(index);
    if (!mail) {
        m_allRead = false;
        session.leaveUnread(index);
        return Handled::Left;
    }
    m_seen.insert(mail->fingerprint);
    const RequestProtocol::RequestKind kind = RequestProtocol::classify(mail->subject);
    // Not a request, a program's mail (answering it could start a loop), or nobody to answer.
    if (kind == RequestProtocol::RequestKind::None || mail->automatic || mail->senderAddress.isEmpty()) {
        session.markRead(index);
        return Handled::PassedOver;
    }
    const Request request{kind, RequestProtocol::eventNumberOf(mail->text), mail->senderName, mail->fingerprint};
    const std::optional<RequestProtocol::Reply> reply = handler.answer(request);
    if (!reply) {
        session.leaveUnread(index);
        return Handled::Left;
    }
    const SendResult sent = SendReply(mail->senderAddress, mail->senderName, reply->subject, reply->text);
    switch (sent) {
    case SendResult::Deferred:
        session.leaveUnread(index);
        return Handled::Left;
    case SendResult::Unavailable:
        session.leaveUnread(index);
        return Handled::RepliesStopped;
    case SendResult::Sent:
    case SendResult::Refused:
        break;
    }
    // A pending reply is forgotten only once its mail will not come again.
    if (session.markRead(index))
        handler.replied(request);
    return sent == SendResult::Sent ? Handled::Replied : Handled::PassedOver;
}

SendResult ProcessingPass::SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                                     const QString& message)
{
    const SendResult result = m_session->sendReply(m_selected, senderemail, sender, subject, message);
    if (result == SendResult::Sent) {
        increment(m_iRequestsProcessed);
        m_listener.replySent(m_iRequestsProcessed);
    }
    return result;
}

void ProcessingPass::connectionFailed(PassReport& report, const QString& reason)
{
    report.failure = reason.isEmpty() ? QStringLiteral("the mail system could not be reached") : reason;
    increment(m_iMAPIErrors);
    m_listener.connectionFailed(m_iMAPIErrors, report.failure);
    m_listener.statusChanged(PassStatus::kNotConnected);
}

} // namespace Enrolix
