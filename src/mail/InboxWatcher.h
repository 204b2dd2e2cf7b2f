#pragma once

#include <QString>

#include <chrono>
#include <memory>

namespace Enrolix {

// The pauses of a watcher; tests shorten them.
struct WatchTimes
{
    using Duration = std::chrono::milliseconds;
    // IMAP IDLE is ended and begun again this often: servers may drop a connection idle for 30 minutes.
    Duration renewIdle{std::chrono::minutes(25)};
    // After a failure the watch is made again after a pause: the first, doubled after every further
    // failure up to the longest, and the first again once the watch was made.
    Duration firstRetry{std::chrono::seconds(5)};
    Duration longestRetry{std::chrono::minutes(5)};
};

// Watches the inbox of a profile from a thread of its own and says when new mail may have come in,
// so that a pass can start at once instead of when its wait is over. Destroying it ends the watch
// promptly, whatever it was waiting for.
class InboxWatcher
{
public:
    enum class Watching { ImapIdle, Maildir, Nothing };

    // What a watcher tells, on its own thread.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // How the inbox is watched, told once, when the watch was first made. Nothing: the server
        // offers no IDLE, and the watcher has ended.
        virtual void watching(Watching how) = 0;
        // New mail may be there: it came in, or the watch was just made (again), and mail may have
        // come in while there was none.
        virtual void arrived() = 0;
        // The watch could not be made or was lost; it is made again after the pause.
        virtual void interrupted(const QString& reason, std::chrono::milliseconds pause) = 0;
    };

    virtual ~InboxWatcher() = default;
};

// Watches the inboxes of named profiles.
class InboxWatchers
{
public:
    virtual ~InboxWatchers() = default;
    // Starts watching the inbox of the profile, telling listener, until the watcher is destroyed;
    // nothing when the inbox is of no kind that can be watched.
    virtual std::unique_ptr<InboxWatcher> watch(const QString& profile, InboxWatcher::Listener& listener,
                                                const WatchTimes& times) = 0;
};

} // namespace Enrolix
