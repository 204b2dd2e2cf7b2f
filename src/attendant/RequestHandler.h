#pragma once

#include "attendant/PendingReplies.h"
#include "attendant/RequestProtocol.h"

#include <QSet>

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
    // The sender's address, kept beside the name for the invitations after the draw.
    QString address;
    // The mail's fingerprint, the same whenever the mail is read again.
    QString key;
};

// What a request does to its event's files, and the reply it gets. A change to a sign-up list
// is written to the pending replies before it is made, and its reply stays there until it went
// out; a request found there is the same request again and gets that reply, after its change
// is made sure of. The pending entry is on the disk before the reply goes out; the appends
// themselves reach the disk together at the end of the pass, and until then the pending
// replies, made sure of at the start of every pass, stand for them should the power fail.
class RequestHandler
{
public:
    RequestHandler(const Settings& settings, PendingReplies& pending);

    struct Answer
    {
        RequestProtocol::Reply reply;
        // The pending entry that must be on the disk before the reply goes out (durableUpTo),
        // or 0 when the reply stands for no change.
        int pendingSequence{0};
    };
    // The reply, its list change made; nothing when a file could not be read or written, and
    // then no list holds a change that a later attempt would not find and finish.
    std::optional<Answer> answer(const Request& request);
    // The reply to the request went out, or never will.
    void replied(const Request& request);

    PendingReplies* pending() const { return &m_pending; }

    // Makes sure of the change of every entry that the pending replies hold, as they were left.
    void recover();
    // Puts the lists changed so far on the disk; false when the disk reports a failure.
    bool syncChanges();

private:
    bool isOpenEvent(const QString& event) const;
    // Makes the list hold the change of a pending entry, whether or not it was made before.
    bool makeSure(const PendingReplies::Entry& entry);
    // Announces the change, then makes it to the list as just read.
    std::optional<Answer> change(const Request& request, const QString& list, RequestProtocol::Reply reply);

    // Adds the name (and its address beside the list), or takes every line of it out, unless
    // the list holds that already.
    bool applyChange(const QString& event, const QString& list, RequestProtocol::RequestKind kind, const QString& name,
                     const QString& address);

    const Settings& m_settings;
    PendingReplies& m_pending;
    // Lists appended to without waiting for the disk.
    QSet<QString> m_unsynced;
};

} // namespace Enrolix
