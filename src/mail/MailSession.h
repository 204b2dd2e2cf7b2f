#pragma once

#include "mail/IncomingMail.h"

#include <optional>

namespace Enrolix {

// How a reply fared. Deferred and Unavailable may pass: the mail stays unread for a later pass.
enum class SendResult {
    Sent,
    // Refused for good by the server for that recipient: the mail is given up.
    Refused,
    // Not accepted for that recipient now; other replies may still go out.
    Deferred,
    // The outbox cannot take replies now (server unreachable or lost, folder full): no further
    // reply of this session can go out.
    Unavailable,
};

// One signed-on mail session: the unread mails of the profile's inbox, addressed by index in
// mailbox order, and the replies to them. A mail fetched here stays unread until markRead.
class MailSession
{
public:
    virtual ~MailSession() = default;

    // Lists the unread mails. False when the mailbox cannot be read.
    virtual bool fetchUnread() = 0;
    virtual int count() const = 0;
    // The mail at index, or nothing when it cannot be read.
    virtual std::optional<IncomingMail> read(int index) = 0;
    // Starts sending a reply to the mail at index (read before), threaded to it. The session
    // goes on meanwhile, so the next mail can be read while the reply is under way. At most one
    // reply is under way: finishReply() waits for it and tells how it fared.
    virtual void startReply(int index, const QString& address, const QString& name, const QString& subject,
                            const QString& text) = 0;
    virtual SendResult finishReply() = 0;
    SendResult sendReply(int index, const QString& address, const QString& name, const QString& subject,
                         const QString& text)
    {
        startReply(index, address, name, subject, text);
        return finishReply();
    }
    // The mail at index has been handled. False when the mark could not be set.
    virtual bool markRead(int index) = 0;
    // The mail at index is to be handled again by a later pass.
    virtual void leaveUnread(int index) = 0;
    // Ends the session (after any reply under way); failures are ignored.
    virtual void signOff() = 0;
    // Why the session failed, for the coordinator: the inbox could not be read or was lost, or
    // the outbox became unavailable. Empty while nothing failed.
    virtual QString failure() const = 0;
};

} // namespace Enrolix
