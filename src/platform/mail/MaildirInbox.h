#pragma once

#include "mail/MailInbox.h"
#include "platform/mail/MaildirCurIndex.h"
#include "platform/mail/MaildirFolder.h"

#include <memory>

namespace Enrolix {

// Requests read from a Maildir: unread are the messages in new/ and those in cur/ without the
// S flag. Reading changes nothing; marking read moves the file to cur/ with the S flag.
class MaildirInbox final : public MailInbox
{
public:
    // create: make the folder when it is missing (the embedded default only). cur: what earlier
    // passes learnt of the folder's cur/, shared with the inboxes of later passes.
    MaildirInbox(const QString& path, bool create,
                 std::shared_ptr<MaildirCurIndex> cur = std::make_shared<MaildirCurIndex>());

    bool open() override;
    std::optional<QStringList> unread() override;
    std::optional<QByteArray> fetch(const QString& id) override;
    bool markRead(const QString& id) override;
    void leaveUnread(const QString& id) override;
    void close() override;
    QString failure() const override { return m_failure; }
    bool lost() const override { return false; }

private:
    // The reason a subfolder could not be listed.
    QString listingFailure(const QString& sub) const;

    MaildirFolder m_folder;
    bool m_create{false};
    std::shared_ptr<MaildirCurIndex> m_cur;
    // A mail was marked read: there are renames to bring to the disk.
    bool m_marked{false};
    QString m_failure;
};

} // namespace Enrolix
