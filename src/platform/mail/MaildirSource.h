#pragma once

#include "platform/mail/MaildirFolder.h"
#include "platform/mail/WatchSource.h"

namespace Enrolix {

// The new/ folder of a Maildir inbox, watched with inotify: a message renamed into it, or written
// there and closed, has arrived.
class MaildirSource final : public WatchSource
{
public:
    // create: make the folder when it is missing (the embedded default only).
    MaildirSource(const QString& path, bool create);
    ~MaildirSource() override;
    Q_DISABLE_COPY_MOVE(MaildirSource)

    bool open(int wake) override;
    InboxWatcher::Watching watching() const override { return InboxWatcher::Watching::Maildir; }
    bool wait(int wake, const std::function<void()>& arrived) override;
    void close() override;
    // Every wait of this source ends with the wake descriptor already.
    void interrupt() override {}
    QString failure() const override { return m_failure; }

private:
    MaildirFolder m_folder;
    bool m_create{false};
    int m_inotify{-1};
    QString m_failure;
};

} // namespace Enrolix
