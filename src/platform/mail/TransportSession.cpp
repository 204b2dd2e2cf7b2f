#include "platform/mail/TransportSession.h"

#include "platform/mail/MimeReader.h"
#include "platform/mail/ReplyComposer.h"

namespace Enrolix {

TransportSession::TransportSession(std::unique_ptr<MailInbox> inbox, std::unique_ptr<MailOutbox> outbox,
                                   const QString& from)
    : m_inbox(std::move(inbox)), m_outbox(std::move(outbox)), m_from(from)
{
}

bool TransportSession::fetchUnread()
{
    if (!m_inbox)
        return false;
    const std::optional<QStringList> ids = m_inbox->unread();
    if (!ids)
        return false;
    m_ids = *ids;
    m_mails = QList<std::optional<IncomingMail>>(m_ids.size());
    return true;
}

int TransportSession::count() const
{
    return int(m_ids.size());
}

bool TransportSession::isValid(int index) const
{
    return m_inbox && index >= 0 && index < m_ids.size();
}

std::optional<IncomingMail> TransportSession::read(int index)
{
    if (!isValid(index))
        return std::nullopt;
    const std::optional<QByteArray> raw = m_inbox->fetch(m_ids.at(index));
    if (!raw)
        return std::nullopt;
    m_mails[index] = MimeReader::read(*raw);
    return m_mails.at(index);
}

SendResult TransportSession::sendReply(int index, const QString& address, const QString& name, const QString& subject,
                                       const QString& text)
{
    if (!isValid(index) || !m_mails.at(index) || !m_outbox)
        return SendResult::Transient;
    const QByteArray message = ReplyComposer::compose({m_from, address, name, subject, text}, *m_mails.at(index));
    return m_outbox->send(m_from, address, message);
}

bool TransportSession::markRead(int index)
{
    return isValid(index) && m_inbox->markRead(m_ids.at(index));
}

void TransportSession::leaveUnread(int index)
{
    if (isValid(index))
        m_inbox->leaveUnread(m_ids.at(index));
}

void TransportSession::signOff()
{
    // Closing the transports ends their connections.
    m_outbox.reset();
    m_inbox.reset();
    m_ids.clear();
    m_mails.clear();
}

} // namespace Enrolix
