#pragma once

#include "attendant/RequestProtocol.h"
#include "platform/TextFiles.h"

#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <mutex>
#include <optional>

namespace Enrolix {

// The replies of the requests handled and not yet finished, kept until their mails no longer
// wait. When such a request comes again, it gets exactly the reply its first attempt sent or
// would have sent, never an answer about the lists as later requests left them. Kept in the
// working folder beside the lists it speaks of. An entry is written before the change it stands
// for, with the digests of its list before and after the change, so that a pass that died, or a
// power cut that lost the last appends to a list, can be finished in the order the requests came.
// Entries reach the disk together, with one wait for the disk for all that were written by then
// (durableUpTo), which the thread sending the replies may ask for.
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
        // The sender's address, kept beside the name by a registration.
        QString address;
        // Whether the request changed its list; the reply of one that did not is kept all the same,
        // as it depends on the list as it stood then.
        bool changed{true};
        // The digests (listDigest) of the list before and after the change; empty in entries of
        // earlier versions.
        QString before;
        QString after;
        // The change is known to be on the disk: it is never made again.
        bool applied{false};
    };

    // The file of a working folder (which ends in the separator).
    static QString pathIn(const QString& workingFolder);
    // What an entry remembers of a list's content.
    static QString listDigest(const QString& content);

    explicit PendingReplies(const QString& path) : m_path(path) {}

    // Reads the file. False when it exists but cannot be read: then no list may be changed,
    // since a retried request could not be told from a new one.
    bool load();
    std::optional<Entry> find(const QString& key) const;
    // Every entry, in the order added.
    const QList<Entry>& entries() const { return m_entries; }
    // Writes the entry and returns its sequence number for durableUpTo; nothing when it could not
    // be written.
    std::optional<int> add(const Entry& entry);
    // The sequence number that covers every entry read from the file.
    static constexpr int kLoaded = 1;
    // Waits until the entries up to this sequence number are on the disk; false when the disk
    // reports a failure. Safe to call from another thread while entries are added.
    bool durableUpTo(int sequence);
    // The reply of this request went out, or never will, and its mail is marked read. Should
    // the mail come back all the same (a mark lost to a power cut), it gets the same reply again.
    void finish(const QString& key);
    // Forgets the entry: its request is to be answered afresh.
    void remove(const QString& key);
    // Once the lists and the marks of a pass are on the disk: forgets every entry whose key is
    // not among keys (after a pass that saw every unread mail, the others belong to mails no
    // longer waiting) and every finished one, and keeps the others as applied. The file goes once
    // it is empty.
    void keepOnly(const QSet<QString>& keys);

private:
    bool drop(const QString& key);
    bool markDone(const QString& key);
    void record(const QString& what, const QString& key, TextFiles::Sync sync);

    QString m_path;
    QList<Entry> m_entries;
    std::mutex m_syncing;
    // The file as loaded counts as one write, as it may not be on the disk yet either.
    std::atomic<int> m_written{kLoaded};
    std::atomic<int> m_durable{0};
};

} // namespace Enrolix
