#pragma once

#include "mail/MailSession.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace Enrolix {

class MailOutbox;

// Sends the replies of a session while the session goes on reading and handling mails, over
// lanes: outboxes (such as connections to one server) each used by a thread of its own, which
// takes the oldest reply waiting. A lane starts when a reply waits and every lane started is
// busy, and ends once its outbox is lost; when none is left, the replies waiting are Unavailable.
class ReplySender
{
public:
    // Once stop is asked, the replies not yet sending are Deferred instead of sent.
    explicit ReplySender(QList<MailOutbox*> lanes, std::stop_token stop = {});
    explicit ReplySender(MailOutbox& outbox, std::stop_token stop = {}) : ReplySender({&outbox}, std::move(stop)) {}
    // Waits for the replies being sent; those waiting behind them are Deferred, not sent.
    ~ReplySender();
    ReplySender(const ReplySender&) = delete;
    ReplySender& operator=(const ReplySender&) = delete;

    // ready runs on a sending thread just before the message goes; when it returns false the
    // message is not sent and the reply is Deferred.
    void queue(int index, const QString& from, const QString& to, const QByteArray& message,
               std::function<bool()> ready);
    // The reply settled first and not yet taken; with wait, waits for one while any is queued.
    std::optional<SettledReply> take(bool wait);
    int queued() const;
    // Why the last Unavailable reply failed.
    QString failure() const;
    // Waits until every queued reply is settled (they stay to be taken).
    void drain();

private:
    struct Job
    {
        int index;
        QString from;
        QString to;
        QByteArray message;
        std::function<bool()> ready;
    };
    void run(MailOutbox& lane);
    // Starts the next lane when more replies wait than lanes are free; settles what waits as
    // Unavailable once no lane is left. With the mutex held.
    void serveWaiting();
    // Settles every reply not yet sending as such; with the mutex held.
    void settleWaiting(SendResult result);
    // Nothing queued is waiting or being sent; with the mutex held.
    bool idle() const { return m_jobs.empty() && m_sending == 0; }

    const QList<MailOutbox*> m_lanes;
    std::stop_token m_stop;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // The replies not yet sending, and how many are being sent.
    std::deque<Job> m_jobs;
    int m_sending{0};
    // Lanes waiting for a reply, and lanes ended because their outbox was lost.
    int m_free{0};
    int m_ended{0};
    std::deque<SettledReply> m_settled;
    QString m_failure;
    bool m_ending{false};
    std::vector<std::thread> m_threads;
};

} // namespace Enrolix
