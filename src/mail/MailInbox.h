#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

namespace Enrolix {

// Where requests are read: unread messages by an id of the store, their raw bytes and flags.
class MailInbox
{
public:
    virtual ~MailInbox() = default;
    // Connects and signs on. False when the store cannot be reached or refuses the sign-on.
    virtual bool open() = 0;
    // The ids of the unread messages in mailbox order, or nothing when the list cannot be read.
    virtual std::optional<QStringList> unread() = 0;
    // The whole message. The message counts as unread until markRead, even if the program dies.
    virtual std::optional<QByteArray> fetch(const QString& id) = 0;
    // The messages of ids, in their order, each as fetch() gives it; a store that can fetches
    // several with one request.
    virtual QList<std::optional<QByteArray>> fetchMany(const QStringList& ids)
    {
        QList<std::optional<QByteArray>> messages;
        for (const QString& id : ids)
            messages.append(fetch(id));
        return messages;
    }
    virtual bool markRead(const QString& id) = 0;
    // The message is to be handled again by a later pass; the store may gather these and make
    // them unread at close().
    virtual void leaveUnread(const QString& id) = 0;
    // The end of the session: what was gathered is done now, or left for the next open() to do.
    virtual void close() = 0;
    // Why the last operation failed, for the coordinator.
    virtual QString failure() const = 0;
    // True once the store can no longer be used in this session (its server stopped answering).
    virtual bool lost() const = 0;
};

} // namespace Enrolix
