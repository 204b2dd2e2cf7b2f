#pragma once

#include "platform/mail/IncomingMail.h"

#include <optional>

namespace Enrolix {

// How a reply fared: sent; not sent for now (the mail stays unread for a later pass); or
// refused for good by the server for that recipient (the mail is given up).
enum class SendResult { Sent, Transient, Refused };

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
    // Sends a reply to the mail at index (read before), threaded to it.
    virtual SendResult sendReply(int index, const QString& address, const QString& name, const QString& subject,
                                 const QString& text) = 0;
    // The mail at index has been handled. False when the mark could not be set.
    virtual bool markRead(int index) = 0;
    // The mail at index is to be handled again by a later pass.
    virtual void leaveUnread(int index) = 0;
    // Ends the session; failures are ignored.
    virtual void signOff() = 0;
};

} // namespace Enrolix
