#include "mail/TransportSession.h"

#include "mail/MimeReader.h"
#include "mail/ReplyComposer.h"

#include <QCryptographicHash>

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
    if (!ids) {
        m_failure = m_inbox->failure();
        return false;
    }
    m_ids = *ids;
    m_mails = QList<std::optional<IncomingMail>>(m_ids.size());
    m_fetched = QList<bool>(m_ids.size(), false);
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
    m_fetched[index] = true;
    const std::optional<QByteArray> raw = m_inbox->fetch(m_ids.at(index));
    if (!raw) {
        // One unreadable message is that message's trouble; a lost server is the session's.
        if (m_inbox->lost())
            m_failure = m_inbox->failure();
        return std::nullopt;
    }
    IncomingMail mail = MimeReader::read(*raw);
    mail.fingerprint = QString::fromLatin1(QCryptographicHash::hash(*raw, QCryptographicHash::Sha256).toHex());
    m_mails[index] = mail;
    return mail;
}

void TransportSession::startReply(int index, const QString& address, const QString& name, const QString& subject,
                                  const QString& text)
{
    finishReply();
    if (!isValid(index) || !m_mails.at(index) || !m_outbox) {
        m_reply = std::async(std::launch::deferred, [] { return SendResult::Deferred; });
        return;
    }
    const QByteArray message = ReplyComposer::compose({m_from, address, name, subject, text}, *m_mails.at(index));
    m_reply = std::async(std::launch::async, [outbox = m_outbox.get(), from = m_from, address, message] {
        return outbox->send(from, address, message);
    });
}

SendResult TransportSession::finishReply()
{
    if (!m_reply.valid())
        return SendResult::Deferred;
    const SendResult result = m_reply.get();
    if (result == SendResult::Unavailable)
        m_failure = m_outbox->failure();
    return result;
}

bool TransportSession::markRead(int index)
{
    return isValid(index) && m_inbox->markRead(m_ids.at(index));
}

void TransportSession::leaveUnread(int index)
{
    // A mail never fetched is as unread as it was.
    if (isValid(index) && m_fetched.at(index))
        m_inbox->leaveUnread(m_ids.at(index));
}

void TransportSession::signOff()
{
    if (m_reply.valid())
        m_reply.wait();
    // Closing the transports ends their connections.
    m_outbox.reset();
    if (m_inbox)
        m_inbox->close();
    m_inbox.reset();
    m_ids.clear();
    m_mails.clear();
    m_fetched.clear();
}

} // namespace Enrolix
