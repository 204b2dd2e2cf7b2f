#pragma once

#include "attendant/RequestHandler.h"
#include "mail/MailSession.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <stop_token>
#include <utility>

namespace Enrolix {

class MailSessionFactory;
class PassListener;
class PendingReplies;
struct Settings;

// What one pass did, for a log line.
struct PassReport
{
    // Signed on and read the list of unread mails.
    bool connected{false};
    // Another pass held the working folder for longer than a pass waits.
    bool busy{false};
    // Why the pass counts as failed (the folder, sign-on, the mailbox, or its replies); empty
    // when it did not.
    QString failure;
    int replies{0};
    // Mails that needed no reply: not requests, a program's mail, nobody to answer, or a reply
    // the server refused for good.
    int passedOver{0};
    // Mails left unread for a later pass.
    int leftForLater{0};
    // The senders whose requests were passed over as they had had the replies a day allows, each
    // once, as their mails spelled them first.
    QStringList overReplyLimit;
};

// The attendant's unit of work: takes the working folder's lock, signs on to the mail profile,
// answers every unread request mail against the event files, and signs off. It shows no box
// and throws nothing; a mail that fails is left for a later pass and the others go on. A mail
// is marked read only once its file change is made and its reply sent, so a pass that dies
// loses no request; once replies cannot go out at all, no further list is changed and the rest
// waits for a later pass. The next mails are fetched while one is handled, and replies go out over
// the session's connections at once, settling in any order; the lists change in mailbox order.
class ProcessingPass
{
public:
    // Once stop is asked, a pass ends after the mail being handled, and any later one at once: the
    // wait for the folder ends, a server that keeps it waiting counts as lost within about a
    // second, and the rest stays unread for a later pass.
    ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener,
                   std::stop_token stop = {});
    Q_DISABLE_COPY_MOVE(ProcessingPass)

    // One whole pass. Touches no timer: the caller holds its countdown while this runs.
    PassReport run();

    // How long a pass waits for the working folder's lock.
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Replies sent since the start, at most kInt16Max.
    qint16 iRequestsProcessed() const { return m_iRequestsProcessed; }
    // Passes whose folder, sign-on, fetch or replies failed, at most kInt16Max.
    qint16 iMAPIErrors() const { return m_iMAPIErrors; }

private:
    // Replies queued and not yet settled, at most: they go out while the next mails are handled,
    // and their pending entries reach the disk together. Also the most a kill can answer twice.
    static constexpr int kRepliesAhead = 16;
    // Marks the mails of settled replies as they fared: those settled already, or after waiting
    // for one more, or for all.
    enum class Settle { Available, One, All };

    void work(MailSession& session, PendingReplies& pending, PassReport& report);
    // Reads and handles one mail; its reply is queued.
    void handleMail(MailSession& session, RequestHandler& handler, int index, PassReport& report);
    void settleReplies(MailSession& session, RequestHandler& handler, PassReport& report, Settle mode);
    void settle(MailSession& session, RequestHandler& handler, PassReport& report, const SettledReply& settled);
    // Settles the refusals held back so far: given up (Refused) or left for a later pass (Unavailable).
    void releaseRefusals(MailSession& session, RequestHandler& handler, PassReport& report, SendResult result);
    void markHandled(MailSession& session, RequestHandler& handler, int index, const Request& request);
    void leaveForLater(MailSession& session, PassReport& report, int index);
    void connectionFailed(PassReport& report, const QString& reason);
    // Queues one reply to the selected mail, to go once its change is on the disk; counted
    // when it has gone out.
    void SendReply(const QString& senderemail, const QString& sender, const QString& subject, const QString& message,
                   std::function<bool()> ready);

    const Settings& m_settings;
    MailSessionFactory& m_mail;
    PassListener& m_listener;
    std::chrono::milliseconds m_lockWait;
    std::stop_token m_stop;
    MailSession* m_session{nullptr};
    int m_selected{-1};
    // The requests whose replies are queued, by the index of their mails.
    QHash<int, Request> m_queued;
    // Replies refused for one recipient whose mails are not yet marked, in the order settled.
    QList<std::pair<int, Request>> m_refusals;
    // Replies cannot go out any more in this pass: no further list may be changed.
    bool m_repliesStopped{false};
    // Fingerprints of the mails read in this pass.
    QSet<QString> m_seen;
    bool m_allRead{true};
    qint16 m_iRequestsProcessed{0};
    qint16 m_iMAPIErrors{0};
};

} // namespace Enrolix
