#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

namespace Enrolix {

// At most so many replies to one sender address within 24 hours, so that a program answering
// every mail without marking its answers as automatic cannot keep the attendant answering it for
// ever. Each reply counted is one line of a small file, "seconds since the epoch, tag, address",
// appended as it is counted: the count outlives a restart or a killed program (a power cut may
// lose the last few). Reading the file forgets the lines older than 24 hours and rewrites it
// without them, so it holds no more than a day's replies. The tag names the request mail: a mail
// handled again (its reply could not go out) is counted once.
class ReplyValve
{
public:
    // Seconds since the epoch.
    using Clock = std::function<qint64()>;
    static constexpr qint64 kWindowSeconds = 24 * 60 * 60;

    // The file in the per-user data folder.
    static QString defaultPath();

    // Reads the counts of the file; maxReplies 0 turns the valve off, and then it never touches the file.
    ReplyValve(const QString& path, int maxReplies, Clock now);
    explicit ReplyValve(const QString& path, int maxReplies);

    // False once maxReplies replies went to the address (whatever its case) within the last
    // 24 hours, unless this very mail (key) is counted among them.
    bool admits(const QString& address, const QString& key) const;
    // Counts a reply to the mail; false when the count cannot be kept (the file cannot be read or
    // written), and then no reply may go out.
    bool count(const QString& address, const QString& key);

private:
    void load();

    QString m_path;
    int m_maxReplies{0};
    Clock m_now;
    bool m_usable{true};
    // Replies within the window by address, folded to one case.
    QHash<QString, int> m_replies;
    QSet<QString> m_tags;
};

} // namespace Enrolix
