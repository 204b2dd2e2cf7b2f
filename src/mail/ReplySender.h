#pragma once

#include "mail/MailSession.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace Enrolix {

class MailOutbox;

// Sends the replies of a session one after the other on a thread of its own, in the order
// queued, while the session goes on reading and handling mails. The outbox is used by this
// thread alone.
class ReplySender
{
public:
    // Once stop is asked, the replies not yet sending are Deferred instead of sent.
    explicit ReplySender(MailOutbox& outbox, std::stop_token stop = {}) : m_outbox(outbox), m_stop(std::move(stop)) {}
    // Waits for the reply being sent; those queued behind it are Deferred, not sent.
    ~ReplySender();
    ReplySender(const ReplySender&) = delete;
    ReplySender& operator=(const ReplySender&) = delete;

    // ready runs on the sending thread just before the message goes; when it returns false the
    // message is not sent and the reply is Deferred.
    void queue(int index, const QString& from, const QString& to, const QByteArray& message,
               std::function<bool()> ready);
    // The oldest reply not yet taken, once settled; with wait, waits for it while any is queued.
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
    void run();
    // Settles every reply not yet sending as Deferred; with the mutex held.
    void deferQueued();
    // Nothing queued is waiting or being sent; with the mutex held.
    bool idle() const { return m_jobs.empty() && !m_sending; }

    MailOutbox& m_outbox;
    std::stop_token m_stop;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // The replies not yet sending, and whether one is being sent.
    std::deque<Job> m_jobs;
    bool m_sending{false};
    std::deque<SettledReply> m_settled;
    QString m_failure;
    bool m_ending{false};
    std::thread m_thread;
};

} // namespace Enrolix
