#pragma once

#include "mail/IncomingMail.h"

#include <functional>
#include <optional>

namespace Enrolix {

// How a reply fared. Deferred and Unavailable may pass: the mail stays unread for a later pass.
enum class SendResult {
    Sent,
    // Refused for good by the server for that recipient's address: the mail is given up. Refusals
    // of the whole profile can look like this at first, so the caller holds the mark until a later
    // reply is sent or the pass ends.
    Refused,
    // Not accepted for that recipient now, or for a reason that is not about the address; other
    // replies may still go out.
    Deferred,
    // The outbox cannot take replies now (server unreachable or lost, folder full, or the server
    // refusing the profile: relaying denied, sign-on wanted, sender not accepted): no further reply
    // of this session can go out.
    Unavailable,
};

// A reply that went out, or could not, and the mail it answers.
struct SettledReply
{
    int index{-1};
    SendResult result{SendResult::Deferred};
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
    // May start fetching the mail at index, so that reading it later does not wait; the
    // session's other work goes on meanwhile.
    virtual void prefetch(int /*index*/) {}
    // Queues a reply to the mail at index (read before), threaded to it. Replies go out one
    // after the other, in the order queued, while the session goes on reading mails; ready is
    // asked just before a reply goes, and a reply it holds back is Deferred.
    virtual void queueReply(int index, const QString& address, const QString& name, const QString& subject,
                            const QString& text, std::function<bool()> ready = {}) = 0;
    // The oldest queued reply not yet taken, once settled; with wait, waits for it while any
    // reply is queued. Nothing when none is settled (or, with wait, none is queued).
    virtual std::optional<SettledReply> settledReply(bool wait) = 0;
    // Replies queued and not yet taken.
    virtual int repliesQueued() const = 0;
    // Sends one reply and waits for it.
    SendResult sendReply(int index, const QString& address, const QString& name, const QString& subject,
                         const QString& text)
    {
        queueReply(index, address, name, subject, text);
        const std::optional<SettledReply> settled = settledReply(true);
        return settled ? settled->result : SendResult::Deferred;
    }
    // The mail at index has been handled. False when the mark could not be set.
    virtual bool markRead(int index) = 0;
    // The mail at index is to be handled again by a later pass.
    virtual void leaveUnread(int index) = 0;
    // Ends the session (after every queued reply); failures are ignored.
    virtual void signOff() = 0;
    // Why the session failed, for the coordinator: the inbox could not be read or was lost, or
    // the outbox became unavailable. Empty while nothing failed.
    virtual QString failure() const = 0;
};

} // namespace Enrolix
