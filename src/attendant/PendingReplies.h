#pragma once

#include "attendant/RequestProtocol.h"
#include "platform/TextFiles.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace Enrolix {

// The replies whose sign-up list change has been made (or is about to be), kept until their
// mails no longer wait. When such a request comes again, it gets exactly the reply its first
// attempt sent or would have sent, never "Duplicate" about its own registration. Kept in the
// working folder beside the lists it speaks of; every entry is on the disk before the change it
// stands for.
class PendingReplies
{
public:
    struct Entry
    {
        // The request mail's fingerprint.
        QString key;
        QString event;
        RequestProtocol::RequestKind kind{RequestProtocol::RequestKind::None};
        QString name;
        RequestProtocol::Reply reply;
        // The reply went out (or never will), and the mail was marked read.
        bool done{false};
    };

    // The file of a working folder (which ends in the separator).
    static QString pathIn(const QString& workingFolder);

    explicit PendingReplies(const QString& path) : m_path(path) {}

    // Reads the file. False when it exists but cannot be read: then no list may be changed,
    // since a retried request could not be told from a new one.
    bool load();
    std::optional<Entry> find(const QString& key) const;
    // False when the entry could not be put on the disk.
    bool add(const Entry& entry);
    // The reply of this request went out, or never will, and its mail is marked read. Should
    // the mail come back all the same (a mark lost to a power cut), it gets the same reply again.
    void finish(const QString& key);
    // Forgets the entry: its request is to be answered afresh.
    void remove(const QString& key);
    // Forgets every entry whose key is not among keys (after a pass that saw every unread mail,
    // the others belong to mails no longer waiting) and every finished one (once the marks of
    // the pass are on the disk); the file goes once it is empty.
    void keepOnly(const QSet<QString>& keys);

private:
    bool drop(const QString& key);
    bool markDone(const QString& key);
    void record(const QString& what, const QString& key, TextFiles::Sync sync);

    QString m_path;
    QList<Entry> m_entries;
};

} // namespace Enrolix
