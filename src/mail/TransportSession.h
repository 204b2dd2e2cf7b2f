#pragma once

#include "mail/MailInbox.h"
#include "mail/MailOutbox.h"
#include "mail/MailSession.h"

#include <QList>

#include <future>
#include <memory>

namespace Enrolix {

// A mail session over an inbox and an outbox: parses the fetched messages and composes the replies.
class TransportSession final : public MailSession
{
public:
    // The inbox is open already; from is the address replies come from.
    TransportSession(std::unique_ptr<MailInbox> inbox, std::unique_ptr<MailOutbox> outbox, const QString& from);
    Q_DISABLE_COPY_MOVE(TransportSession)

    bool fetchUnread() override;
    int count() const override;
    std::optional<IncomingMail> read(int index) override;
    void startReply(int index, const QString& address, const QString& name, const QString& subject,
                    const QString& text) override;
    SendResult finishReply() override;
    bool markRead(int index) override;
    void leaveUnread(int index) override;
    void signOff() override;
    QString failure() const override { return m_failure; }

private:
    bool isValid(int index) const;

    std::unique_ptr<MailInbox> m_inbox;
    std::unique_ptr<MailOutbox> m_outbox;
    QString m_from;
    QStringList m_ids;
    QList<std::optional<IncomingMail>> m_mails;
    // Whether a fetch of the mail was started, which may have marked it read on the server.
    QList<bool> m_fetched;
    QString m_failure;
    // The reply under way, sent on a thread of its own: the outbox is used by nothing else
    // meanwhile. Declared last, so it is waited for before the outbox goes.
    std::future<SendResult> m_reply;
};

} // namespace Enrolix
