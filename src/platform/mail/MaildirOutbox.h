#pragma once

#include "mail/MailOutbox.h"
#include "platform/mail/MaildirFolder.h"

namespace Enrolix {

// Replies stored as message files in a Maildir's new/ folder.
class MaildirOutbox final : public MailOutbox
{
public:
    MaildirOutbox(const QString& path, bool create);

    SendResult send(const QString& from, const QString& to, const QByteArray& message) override;
    QString failure() const override { return m_failure; }

private:
    MaildirFolder m_folder;
    bool m_create{false};
    QString m_failure;
};

} // namespace Enrolix
