#pragma once

#include "mail/MailInbox.h"
#include "mail/MailOutbox.h"
#include "mail/MailSession.h"
#include "mail/ReplySender.h"

#include <QList>

#include <future>
#include <memory>
#include <stop_token>

namespace Enrolix {

// A mail session over an inbox and an outbox: parses the fetched messages and composes the replies.
class TransportSession final : public MailSession
{
public:
    // The inbox is open already; from is the address replies come from. Once stop is asked, the
    // replies not yet sending are Deferred.
    TransportSession(std::unique_ptr<MailInbox> inbox, std::unique_ptr<MailOutbox> outbox, const QString& from,
                     std::stop_token stop = {});
    Q_DISABLE_COPY_MOVE(TransportSession)

    bool fetchUnread() override;
    int count() const override;
    std::optional<IncomingMail> read(int index) override;
    void prefetch(int index) override;
    void queueReply(int index, const QString& address, const QString& name, const QString& subject, const QString& text,
                    std::function<bool()> ready = {}) override;
    std::optional<SettledReply> settledReply(bool wait) override;
    int repliesQueued() const override;
    bool markRead(int index) override;
    void leaveUnread(int index) override;
    void signOff() override;
    QString failure() const override;

private:
    bool isValid(int index) const;
    // Waits for a prefetch under way: the inbox is used by one thread at a time.
    void joinPrefetch();

    std::unique_ptr<MailInbox> m_inbox;
    std::unique_ptr<MailOutbox> m_outbox;
    QString m_from;
    std::stop_token m_stop;
    QStringList m_ids;
    QList<std::optional<IncomingMail>> m_mails;
    // Whether a fetch of the mail was started, which may have marked it read on the server.
    QList<bool> m_fetched;
    QString m_failure;
    // A mail being fetched ahead on a thread of its own, and the one fetched so.
    int m_prefetching{-1};
    std::optional<std::pair<int, std::optional<QByteArray>>> m_prefetched;
    // Declared last, so the prefetch and the replies are waited for before the stores go.
    std::future<std::optional<QByteArray>> m_prefetch;
    std::unique_ptr<ReplySender> m_sender;
};

} // namespace Enrolix
