#pragma once

#include "mail/MailInbox.h"
#include "platform/mail/MaildirFolder.h"

namespace Enrolix {

// Requests read from a Maildir: unread are the messages in new/ and those in cur/ without the
// S flag. Reading changes nothing; marking read moves the file to cur/ with the S flag.
class MaildirInbox final : public MailInbox
{
public:
    // create: make the folder when it is missing (the embedded default only).
    MaildirInbox(const QString& path, bool create);

    bool open() override;
    std::optional<QStringList> unread() override;
    std::optional<QByteArray> fetch(const QString& id) override;
    bool markRead(const QString& id) override;
    void leaveUnread(const QString& id) override;
    void close() override;
    QString failure() const override { return m_failure; }
    bool lost() const override { return false; }

private:
    MaildirFolder m_folder;
    bool m_create{false};
    QString m_failure;
};

} // namespace Enrolix
