#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Enrolix {
class SettingsStore;
}

namespace Enrolix::Testing {

// A mailbox the attendant reads and a place its replies arrive, for tests that run the same
// cases against each kind of mail store.
class MailBackend
{
public:
    virtual ~MailBackend() = default;
    // Empty when ready, else why not.
    virtual QString problem() const = 0;
    // Writes the profile of the attendant into the store.
    virtual void configure(SettingsStore& store, const QString& profile) const = 0;
    // Puts a message into the inbox, unread.
    virtual void deliver(const QByteArray& raw) = 0;
    // Puts the messages into the inbox, unread, in this order.
    virtual void deliver(const QList<QByteArray>& raws)
    {
        for (const QByteArray& raw : raws)
            deliver(raw);
    }
    // Number of unread messages in the inbox.
    virtual int unreadCount() const = 0;
    // Every reply received so far, oldest first.
    virtual QList<QByteArray> replies() const = 0;
    // The subjects of the replies, oldest first.
    QStringList replySubjects() const;

protected:
    // The messages of a folder, by file name.
    static QList<QByteArray> messagesIn(const QString& folder);
};

} // namespace Enrolix::Testing
