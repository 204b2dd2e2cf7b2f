#pragma once

#include "mail/InboxWatcher.h"

#include <QString>

#include <functional>

namespace Enrolix {

// What a watch is made of, for WatchLoop: an IMAP connection in IDLE, or a Maildir's new/ folder.
// Every wait also ends when the wake descriptor becomes readable: the watcher is being destroyed.
class WatchSource
{
public:
    virtual ~WatchSource() = default;
    // Makes the watch; false, with the reason in failure(), when it cannot be made.
    virtual bool open(int wake) = 0;
    // How the watch just made watches (Nothing: it cannot, and there is no use trying again).
    virtual InboxWatcher::Watching watching() const = 0;
    // Waits on the watch made, calling arrived each time new mail came in; false, with the reason in
    // failure(), once the watch is lost; true once woken.
    virtual bool wait(int wake, const std::function<void()>& arrived) = 0;
    // Ends the watch made, or what is left of it.
    virtual void close() = 0;
    // From another thread: makes whatever open() or wait() waits for fail at once.
    virtual void interrupt() = 0;
    virtual QString failure() const = 0;
};

} // namespace Enrolix
