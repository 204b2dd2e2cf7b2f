#pragma once

#include "attendant/PendingReplies.h"
#include "attendant/RequestProtocol.h"

#include <optional>

namespace Enrolix {

struct Settings;

// One request as the attendant reads it from its mail.
struct Request
{
    RequestProtocol::RequestKind kind{RequestProtocol::RequestKind::None};
    QString event;
    // The sender's display name: the person's line in the sign-up list.
    QString name;
    // The mail's fingerprint, the same whenever the mail is read again.
    QString key;
};

// What a request does to its event's files, and the reply it gets. A change to a sign-up list
// is announced in the pending replies before it is made, and its reply stays there until it
// went out; a request found there is the same request again and gets that reply, after its
// change is made sure of.
class RequestHandler
{
public:
    RequestHandler(const Settings& settings, PendingReplies& pending);

    // The reply, its list change made; nothing when a file could not be read or written, and
    // then no list holds a change that a later attempt would not find and finish.
    std::optional<RequestProtocol::Reply> answer(const Request& request);
    // The reply to the request went out, or never will.
    void replied(const Request& request);

private:
    bool isOpenEvent(const QString& event) const;
    // Makes the list hold the change of a pending entry, whether or not it was made before.
    bool makeSure(const PendingReplies::Entry& entry) const;
    // Announces the change, then makes it to the list as just read.
    std::optional<RequestProtocol::Reply> change(const Request& request, const QString& list,
                                                 RequestProtocol::Reply reply);

    const Settings& m_settings;
    PendingReplies& m_pending;
};

} // namespace Enrolix
