#include "attendant/ProcessingPass.h"

#include "attendant/PassListener.h"
#include "attendant/PassStatus.h"
#include "attendant/PendingReplies.h"
#include "events/WorkingFolderLock.h"
#include "mail/MailSessionFactory.h"
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
    : m_settings(settings), m_mail(mail), m_listener(listener), m_lockWait(WorkingFolderLock::kPassWait)
{
}

PassReport ProcessingPass::run()
{
    PassReport report;
    m_stopRequested = false;
    // One pass at a time works on the folder's files, and no event is created or closed meanwhile.
    WorkingFolderLock lock(m_settings.Working_Files_Directory);
    switch (lock.lock(m_lockWait)) {
    case WorkingFolderLock::Outcome::Locked:
        break;
    case WorkingFolderLock::Outcome::Busy:
        report.busy = true;
        connectionFailed(report, QStringLiteral("working folder busy"));
        return report;
    case WorkingFolderLock::Outcome::Unusable:
        connectionFailed(report, lock.problem());
        return report;
    }

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
    work(session, report);
    return report;
}

void ProcessingPass::work(MailSession& session, PassReport& report)
{
    const QString pendingPath = PendingReplies::pathIn(m_settings.Working_Files_Directory);
    PendingReplies pending(pendingPath);
    QString failure;
    if (!pending.load()) {
        failure = QStringLiteral("the file of pending replies %1 cannot be read").arg(pendingPath);
        m_repliesStopped = true;
    }
    RequestHandler handler(m_settings, pending);
    m_session = &session;
    m_seen.clear();
    m_allRead = true;
    const int count = session.count();
    for (int index = 0; index < count; ++index) {
        if (m_repliesStopped || m_stopRequested) {
            session.leaveUnread(index);
            ++report.leftForLater;
            continue;
        }
        handleMail(session, handler, index, report);
    }
    settleReply(session, handler, report);
    const bool whole = !m_repliesStopped && !m_stopRequested && m_allRead;
    m_session = nullptr;
    m_selected = -1;
    m_repliesStopped = false;
    session.signOff();
    // Entries of mails that no longer wait are forgotten, once every unread mail has been seen
    // and the marks of this pass are on the disk.
    if (whole && failure.isEmpty())
        pending.keepOnly(m_seen);
    if (failure.isEmpty())
        failure = session.failure();
    if (!failure.isEmpty())
        connectionFailed(report, failure);
}

void ProcessingPass::handleMail(MailSession& session, RequestHandler& handler, int index, PassReport& report)
{
    m_selected = index;
    const std::optional<IncomingMail> mail = session.read(index);
    if (!mail) {
        m_allRead = false;
        session.leaveUnread(index);
        ++report.leftForLater;
        return;
    }
    m_seen.insert(mail->fingerprint);
    const RequestProtocol::RequestKind kind = RequestProtocol::classify(mail->subject);
    // Not a request, a program's mail (answering it could start a loop), or nobody to answer.
    if (kind == RequestProtocol::RequestKind::None || mail->automatic || mail->senderAddress.isEmpty()) {
        session.markRead(index);
        ++report.passedOver;
        return;
    }
    const Request request{kind, RequestProtocol::eventNumberOf(mail->text), mail->senderName, mail->fingerprint};
    const std::optional<RequestProtocol::Reply> reply = handler.answer(request);
    // The reply before this one must have gone out before this one starts, and a failed outbox
    // leaves this mail, whose change the pending replies hold, for a later pass too.
    settleReply(session, handler, report);
    if (!reply || m_repliesStopped) {
        session.leaveUnread(index);
        ++report.leftForLater;
        return;
    }
    m_selected = index;
    SendReply(mail->senderAddress, mail->senderName, reply->subject, reply->text);
    m_underWay = Reply{index, request};
}

void ProcessingPass::settleReply(MailSession& session, RequestHandler& handler, PassReport& report)
{
    if (!m_underWay)
        return;
    const Reply reply = *m_underWay;
    m_underWay.reset();
    const SendResult result = session.finishReply();
    switch (result) {
    case SendResult::Sent:
        increment(m_iRequestsProcessed);
        m_listener.replySent(m_iRequestsProcessed);
        ++report.replies;
        break;
    case SendResult::Refused:
        ++report.passedOver;
        break;
    case SendResult::Deferred:
    case SendResult::Unavailable:
        session.leaveUnread(reply.index);
        ++report.leftForLater;
        m_repliesStopped = m_repliesStopped || result == SendResult::Unavailable;
        return;
    }
    // A pending reply is forgotten only once its mail will not come again.
    if (session.markRead(reply.index))
        handler.replied(reply.request);
}

void ProcessingPass::SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                               const QString& message)
{
    m_session->startReply(m_selected, senderemail, sender, subject, message);
}

void ProcessingPass::connectionFailed(PassReport& report, const QString& reason)
{
    report.failure = reason.isEmpty() ? QStringLiteral("the mail system could not be reached") : reason;
    increment(m_iMAPIErrors);
    m_listener.connectionFailed(m_iMAPIErrors, report.failure);
    m_listener.statusChanged(PassStatus::kNotConnected);
}

} // namespace Enrolix
