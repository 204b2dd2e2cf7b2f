#include "platform/mail/MaildirOutbox.h"

#include "mail/MailTexts.h"

namespace Enrolix {

MaildirOutbox::MaildirOutbox(const QString& path, bool create) : m_folder(path), m_create(create) {}

SendResult MaildirOutbox::send(const QString& /*from*/, const QString& /*to*/, const QByteArray& message)
{
    if (!m_folder.prepare(m_create)) {
        m_failure = MailTexts::maildirMissing(m_folder.path());
        return SendResult::Unavailable;
    }
    const FileResult stored = m_folder.deliver(message);
    if (!stored.ok()) {
        m_failure =
            QStringLiteral("maildir:%1: the reply could not be stored (%2)").arg(m_folder.path(), stored.description);
        return SendResult::Unavailable;
    }
    return SendResult::Sent;
}

} // namespace Enrolix
