#pragma once

#include "platform/mail/MailInbox.h"
#include "platform/mail/MailOutbox.h"
#include "platform/mail/MailSession.h"

#include <QList>

#include <memory>

namespace Enrolix {

// A mail session over an inbox and an outbox: parses the fetched messages and composes the replies.
class TransportSession final : public MailSession
{
public:
    // The inbox is open already; from is the address replies come from.
    TransportSession(std::unique_ptr<MailInbox> inbox, std::unique_ptr<MailOutbox> outbox, const QString& from);

    bool fetchUnread() override;
    int count() const override;
    std::optional<IncomingMail> read(int index) override;
    SendResult sendReply(int index, const QString& address, const QString& name, const QString& subject,
                         const QString& text) override;
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
};

} // namespace Enrolix
