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
// handled again (its reply could not go out) is counted once. The file is read at the first
// request, not before (a pass without requests never reads it), one line at a time; in memory a
// reply takes two numbers, so a busy day of replies to different senders stays small.
class ReplyValve
{
public:
    // Seconds since the epoch.
    using Clock = std::function<qint64()>;
    static constexpr qint64 kWindowSeconds = 24 * 60 * 60;

    // The file in the per-user data folder.
    static QString defaultPath();

    // maxReplies 0 turns the valve off, and then it never touches the file.
    ReplyValve(const QString& path, int maxReplies, Clock now);
    explicit ReplyValve(const QString& path, int maxReplies);

    // False once maxReplies replies went to the address (whatever its case) within the last
    // 24 hours, unless this very mail (key) is counted among them.
    bool admits(const QString& address, const QString& key);
    // Counts a reply to the mail; false when the count cannot be kept (the file cannot be read or
    // written), and then no reply may go out.
    bool count(const QString& address, const QString& key);

private:
    enum class State { Unread, Usable, Unusable };

    // Reads the file at the first use; false when it cannot be read.
    bool loaded();

    QString m_path;
    int m_maxReplies{0};
    Clock m_now;
    State m_state{State::Unread};
    // Replies within the window, by a digest of the address folded to one case.
    QHash<quint64, int> m_replies;
    // The tags of the mails counted, as the numbers their digits spell.
    QSet<quint64> m_tags;
};

} // namespace Enrolix
