#pragma once

#include "mail/InboxWatcher.h"
#include "platform/mail/WatchSource.h"

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <thread>

namespace Enrolix {

// An inbox watcher on a thread of its own: makes the watch of its source, waits on it, and after a
// failure makes it again after a pause that grows as WatchTimes says.
class WatchLoop final : public InboxWatcher
{
public:
    WatchLoop(std::unique_ptr<WatchSource> source, Listener& listener, const WatchTimes& times);
    // Wakes the thread, cuts short what the source waits for, and joins the thread.
    ~WatchLoop() override;
    Q_DISABLE_COPY_MOVE(WatchLoop)

    // Whether the descriptor became readable within the time: poll(2) on it alone.
    static bool readableWithin(int descriptor, std::chrono::milliseconds time);

private:
    void run();

    std::unique_ptr<WatchSource> m_source;
    Listener& m_listener;
    WatchTimes m_times;
    // An eventfd, written once to end the thread.
    int m_wake{-1};
    std::atomic<bool> m_ending{false};
    std::thread m_thread;
};

} // namespace Enrolix
