#pragma once

#include "mail/MailInbox.h"
#include "mail/MailOutbox.h"
#include "mail/MailSession.h"
#include "mail/ReplySender.h"

#include <QHash>
#include <QList>

#include <future>
#include <memory>
#include <stop_token>
#include <vector>

namespace Enrolix {

// A mail session over an inbox and an outbox: parses the fetched messages and composes the
// replies. The mails are fetched ahead in batches that grow from one mail to kLongestBatch, the
// next batch on a thread of its own while the mails before it are handled; replies go out over
// the outboxes given, one connection each.
class TransportSession final : public MailSession
{
public:
    static constexpr int kLongestBatch = 32;

    // The inbox is open already; outboxes: one or more ways to the same place, used at once; from
    // is the address replies come from. Once stop is asked, the replies not yet sending are Deferred.
    TransportSession(std::unique_ptr<MailInbox> inbox, std::vector<std::unique_ptr<MailOutbox>> outboxes,
                     const QString& from, std::stop_token stop = {});
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
    // The ids of the next batch, from first on; the batch after it is larger.
    QStringList nextBatch(int first);
    void keepFetched(int first, const QList<std::optional<QByteArray>>& messages);
    // Waits for a batch under way: the inbox is used by one thread at a time.
    void joinFetch();
    // Closes the outboxes' connections, each saying goodbye at the same time.
    void closeOutboxes();

    std::unique_ptr<MailInbox> m_inbox;
    std::vector<std::unique_ptr<MailOutbox>> m_outboxes;
    QString m_from;
    std::stop_token m_stop;
    QStringList m_ids;
    QList<std::optional<IncomingMail>> m_mails;
    // Whether a fetch of the mail was started, which may have marked it read on the server.
    QList<bool> m_fetched;
    QString m_failure;
    // Messages fetched and not yet read, by index; the first index not yet asked for; the size
    // of the next batch.
    QHash<int, std::optional<QByteArray>> m_ahead;
    int m_nextFetch{0};
    int m_batch{1};
    // A batch being fetched on a thread of its own, and its first index.
    int m_fetching{-1};
    // Declared last, so the fetch and the replies are waited for before the stores go.
    std::future<QList<std::optional<QByteArray>>> m_fetch;
    std::unique_ptr<ReplySender> m_sender;
};

} // namespace Enrolix
