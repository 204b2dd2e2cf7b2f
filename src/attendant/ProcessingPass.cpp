#include "attendant/ProcessingPass.h"

#include "attendant/AttendantTexts.h"
#include "attendant/PassListener.h"
#include "attendant/PendingReplies.h"
#include "events/WorkingFolderLock.h"
#include "mail/MailSessionFactory.h"
#include "mail/ProfileKeys.h"
#include "settings/Settings.h"

namespace Enrolix {
namespace {

void increment(qint16& counter)
{
    if (counter < kInt16Max)
        ++counter;
}

} // namespace

ProcessingPass::ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener,
                               std::stop_token stop)
    : m_settings(settings), m_mail(mail), m_listener(listener), m_lockWait(WorkingFolderLock::kPassWait),
      m_stop(std::move(stop))
{
}

PassReport ProcessingPass::run()
{
    PassReport report;
    // One pass at a time works on the folder's files, and no event is created or closed meanwhile.
    WorkingFolderLock lock(m_settings.Working_Files_Directory);
    switch (lock.lock(m_lockWait, m_stop)) {
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

    // Made before the session and gone after it: a reply still queued there may ask about it.
    PendingReplies pending(PendingReplies::pathIn(m_settings.Working_Files_Directory));
    const SignOn signOn = m_mail.signOn(SettingsKeys::kMailProfileName, m_stop);
    if (!signOn.session) {
        connectionFailed(report, signOn.failure);
        return report;
    }
    MailSession& session = *signOn.session;
    m_listener.statusChanged(AttendantTexts::kConnecting);
    if (!session.fetchUnread()) {
        session.signOff();
        connectionFailed(report, session.failure());
        return report;
    }
    m_listener.statusChanged(AttendantTexts::kConnected);
    report.connected = true;
    work(session, pending, report);
    return report;
}

void ProcessingPass::work(MailSession& session, PendingReplies& pending, PassReport& report)
{
    QString failure;
    if (!pending.load()) {
        failure = QStringLiteral("the file of pending replies %1 cannot be read")
                      .arg(PendingReplies::pathIn(m_settings.Working_Files_Directory));
        m_repliesStopped = true;
    }
    RequestHandler handler(m_settings, pending);
    if (failure.isEmpty())
        handler.recover();
    m_session = &session;
    m_seen.clear();
    m_allRead = true;
    const int count = session.count();
    for (int index = 0; index < count; ++index) {
        if (m_repliesStopped || m_stop.stop_requested()) {
            leaveForLater(session, report, index);
            continue;
        }
        handleMail(session, handler, index, report);
        settleReplies(session, handler, report, Settle::Available);
        while (!m_queued.isEmpty() && session.repliesQueued() >= kRepliesAhead)
            settleReplies(session, handler, report, Settle::One);
    }
    settleReplies(session, handler, report, Settle::All);
    // The pass is over: refusals not followed by a refusal of the profile were for good.
    releaseRefusals(session, handler, report, SendResult::Refused);
    const bool whole = !m_repliesStopped && !m_stop.stop_requested() && m_allRead;
    m_session = nullptr;
    m_selected = -1;
    m_repliesStopped = false;
    const bool synced = handler.syncChanges();
    session.signOff();
    // Entries of mails that no longer wait are forgotten once every unread mail has been seen
    // and the lists and the marks of this pass are on the disk.
    if (whole && synced && failure.isEmpty())
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
    // The next mail is on its way while this one is handled.
    if (index + 1 < session.count() && !m_stop.stop_requested())
        session.prefetch(index + 1);
    if (!mail) {
        m_allRead = false;
        leaveForLater(session, report, index);
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
    const Request request{kind, RequestProtocol::eventNumberOf(mail->text), mail->senderName, mail->senderAddress,
                          mail->fingerprint};
    const std::optional<RequestHandler::Answer> answer = handler.answer(request);
    if (!answer) {
        leaveForLater(session, report, index);
        return;
    }
    if (answer->passedOver) {
        session.markRead(index);
        ++report.passedOver;
        if (!report.overReplyLimit.contains(request.address, Qt::CaseInsensitive))
            report.overReplyLimit.append(request.address);
        return;
    }
    m_queued.insert(index, request);
    m_selected = index;
    PendingReplies* pending = handler.pending();
    const int sequence = answer->pendingSequence;
    SendReply(mail->senderAddress, mail->senderName, answer->reply.subject, answer->reply.text,
              [pending, sequence] { return sequence == 0 || pending->durableUpTo(sequence); });
}

void ProcessingPass::settleReplies(MailSession& session, RequestHandler& handler, PassReport& report, Settle mode)
{
    while (!m_queued.isEmpty()) {
        const bool wait = mode != Settle::Available;
        const std::optional<SettledReply> settled = session.settledReply(wait);
        if (!settled) {
            if (!wait)
                return;
            // The session lost its replies: their mails wait for a later pass.
            for (auto it = m_queued.cbegin(); it != m_queued.cend(); ++it)
                leaveForLater(session, report, it.key());
            m_queued.clear();
            return;
        }
        settle(session, handler, report, *settled);
        if (mode == Settle::One)
            mode = Settle::Available;
    }
}

void ProcessingPass::settle(MailSession& session, RequestHandler& handler, PassReport& report,
                            const SettledReply& settled)
{
    const Request request = m_queued.take(settled.index);
    switch (settled.result) {
    case SendResult::Sent:
        increment(m_iRequestsProcessed);
        m_listener.replySent(m_iRequestsProcessed);
        ++report.replies;
        // The refusals before a reply that went out were the recipients' own.
        releaseRefusals(session, handler, report, SendResult::Refused);
        break;
    case SendResult::Refused:
        // The first refusals of a server that refuses the profile look like this: the mail is
        // given up only once that can no longer turn out.
        m_refusals.append({settled.index, request});
        return;
    case SendResult::Deferred:
    case SendResult::Unavailable:
        leaveForLater(session, report, settled.index);
        if (settled.result == SendResult::Deferred)
            return;
        // No further list is changed once replies cannot go out; the mails already handled
        // keep their changes, and their replies wait in the pending replies.
        m_repliesStopped = true;
        releaseRefusals(session, handler, report, SendResult::Unavailable);
        return;
    }
    markHandled(session, handler, settled.index, request);
}

void ProcessingPass::releaseRefusals(MailSession& session, RequestHandler& handler, PassReport& report,
                                     SendResult result)
{
    for (const auto& [index, request] : std::as_const(m_refusals)) {
        if (result == SendResult::Refused) {
            ++report.passedOver;
            markHandled(session, handler, index, request);
        } else {
            leaveForLater(session, report, index);
        }
    }
    m_refusals.clear();
}

void ProcessingPass::markHandled(MailSession& session, RequestHandler& handler, int index, const Request& request)
{
    // A pending reply is forgotten only once its mail will not come again.
    if (session.markRead(index))
        handler.replied(request);
}

void ProcessingPass::leaveForLater(MailSession& session, PassReport& report, int index)
{
    session.leaveUnread(index);
    ++report.leftForLater;
}

void ProcessingPass::SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                               const QString& message, std::function<bool()> ready)
{
    m_session->queueReply(m_selected, senderemail, sender, subject, message, std::move(ready));
}

void ProcessingPass::connectionFailed(PassReport& report, const QString& reason)
{
    report.failure = reason.isEmpty() ? QStringLiteral("the mail system could not be reached") : reason;
    increment(m_iMAPIErrors);
    m_listener.connectionFailed(m_iMAPIErrors, report.failure);
    m_listener.statusChanged(AttendantTexts::kNotConnected);
}

} // namespace Enrolix
