#include "platform/mail/MaildirOutbox.h"

namespace Enrolix {

MaildirOutbox::MaildirOutbox(const QString& path, bool create) : m_folder(path), m_create(create) {}

SendResult MaildirOutbox::send(const QString& /*from*/, const QString& /*to*/, const QByteArray& message)
{
    if (!m_folder.prepare(m_create) || !m_folder.deliver(message))
        return SendResult::Transient;
    return SendResult::Sent;
}

} // namespace Enrolix
