#pragma once

#include "mail/MailSessionFactory.h"

#include <QList>
#include <QStringList>

namespace Enrolix::Testing {

// A mailbox in memory whose failures a test scripts: sign-on, fetch, reading one mail, and the
// result of each send. It records the replies and the marks the pass sets.
class ScriptedMailbox final : public MailSessionFactory
{
public:
    struct Sent
    {
        int index;
        QString address;
        QString name;
        QString subject;
        QString text;
    };

    SignOn signOn(const QString& profile, std::stop_token stop = {}) override;
    // A scripted mailbox sends nothing of its own.
    OutboxSignOn openOutbox(const QString&, std::stop_token = {}) override
    {
        return {nullptr, {}, QStringLiteral("no outbox")};
    }

    // A mail without a fingerprint gets one of its own.
    void add(const IncomingMail& mail);
    // Unread mails: those not marked read.
    int unreadCount() const;

    bool signOnFails{false};
    bool fetchFails{false};
    // The reason the session gives for a failure.
    QString failureReason{QStringLiteral("scripted failure")};
    QList<int> unreadable;
    // Results of the next sends, in order; Sent once the list is used up.
    QList<SendResult> sendResults;

    QList<IncomingMail> mails;
    QList<bool> read;
    QList<Sent> sent;
    QStringList profiles;
    int signOffs{0};

private:
    class Session;
};

} // namespace Enrolix::Testing
