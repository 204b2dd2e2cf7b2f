#pragma once

#include "attendant/PendingReplies.h"
#include "attendant/ReplyValve.h"
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

// What a request does to its event's files, and the reply it gets, under the attendant's rules
// (Settings::attendant): a sender who had the replies a day allows gets none, and a request the
// rules refuse changes nothing and gets a reply that says why. Every request is answered
// as if the requests before it, in mailbox order, had all been handled and none after it: its
// reply is written to the pending replies before any later request can change the list, and a
// request found there is the same request again and gets that reply, the lists untouched. A
// change is announced there before it is made; the appends reach the disk together at the end
// of the pass, and until then the pending replies, worked through at the start of every pass
// (recover), stand for them should the program die or the power fail.
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
        // The sender had the replies a day allows: the request changed nothing and gets no reply.
        bool passedOver{false};
    };
    // The reply, its list change made; nothing when a file could not be read or written, and
    // then no list holds a change that a later attempt would not find and finish.
    std::optional<Answer> answer(const Request& request);
    // The reply to the request went out, or never will.
    void replied(const Request& request);

    PendingReplies* pending() const { return &m_pending; }

    // Finishes, in the order made, the changes of the pending replies that a pass that died (or a
    // power cut) may have left unmade, on each list from the state it was left in.
    void recover();
    // Puts the lists changed so far on the disk; false when the disk reports a failure.
    bool syncChanges();

private:
    bool isOpenEvent(const QString& event) const;
    std::optional<Answer> answerInOrder(const Request& request);
    std::optional<Answer> answerAfresh(const Request& request);
    // Whether the sender may have the attendee list; nothing when the addresses cannot be read.
    std::optional<bool> mayHaveList(const Request& request) const;
    // Whether the rules refuse the cancellation of a listed name; nothing when the addresses
    // cannot be read.
    std::optional<bool> refusesCancellation(const Request& request) const;
    void recoverEvent(const QString& event, const QList<PendingReplies::Entry>& changes);
    // Keeps the reply of a request that changes no list, for a retry of its mail.
    Answer pinned(const Request& request, const RequestProtocol::Reply& reply);
    // Announces the change, then makes it to the list as just read, which becomes changed.
    std::optional<Answer> change(const Request& request, const QString& list, const QString& changed,
                                 RequestProtocol::Reply reply);

    // Makes the list changed from list (as read) and the addresses beside it hold the change.
    bool applyChange(const PendingReplies::Entry& change, const QString& list, const QString& changed);
    bool applyAddress(const PendingReplies::Entry& change);

    const Settings& m_settings;
    PendingReplies& m_pending;
    ReplyValve m_valve;
    // Lists appended to without waiting for the disk.
    QSet<QString> m_unsynced;
    // Events whose requests wait for a later pass: their list could not be brought to the state
    // its pending changes ask for, or one of their requests could not be handled.
    QSet<QString> m_held;
};

} // namespace Enrolix
