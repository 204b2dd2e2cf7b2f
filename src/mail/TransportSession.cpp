#include "mail/TransportSession.h"

#include "mail/MimeReader.h"
#include "mail/ReplyComposer.h"

#include <QCryptographicHash>

namespace Enrolix {

TransportSession::TransportSession(std::unique_ptr<MailInbox> inbox, std::unique_ptr<MailOutbox> outbox,
                                   const QString& from, std::stop_token stop)
    : m_inbox(std::move(inbox)), m_outbox(std::move(outbox)), m_from(from), m_stop(std::move(stop))
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

void TransportSession::joinPrefetch()
{
    if (!m_prefetch.valid())
        return;
    m_prefetched = std::make_pair(m_prefetching, m_prefetch.get());
    m_prefetching = -1;
}

void TransportSession::prefetch(int index)
{
    joinPrefetch();
    if (!isValid(index) || m_fetched.at(index) || m_inbox->lost())
        return;
    m_fetched[index] = true;
    m_prefetching = index;
    m_prefetch =
        std::async(std::launch::async, [inbox = m_inbox.get(), id = m_ids.at(index)] { return inbox->fetch(id); });
}

std::optional<IncomingMail> TransportSession::read(int index)
{
    if (!isValid(index))
        return std::nullopt;
    joinPrefetch();
    std::optional<QByteArray> raw;
    if (m_prefetched && m_prefetched->first == index) {
        raw = std::move(m_prefetched->second);
        m_prefetched.reset();
    } else {
        m_fetched[index] = true;
        raw = m_inbox->fetch(m_ids.at(index));
    }
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

void TransportSession::queueReply(int index, const QString& address, const QString& name, const QString& subject,
                                  const QString& text, std::function<bool()> ready)
{
    if (!m_sender && m_outbox)
        m_sender = std::make_unique<ReplySender>(*m_outbox, m_stop);
    // A reply to a mail that was never read has nothing to thread to and nowhere to go.
    const bool known = isValid(index) && m_mails.at(index) && m_sender;
    if (!known) {
        if (m_sender)
            m_sender->queue(index, m_from, address, {}, [] { return false; });
        return;
    }
    const QByteArray message = ReplyComposer::compose({m_from, address, name, subject, text}, *m_mails.at(index));
    m_sender->queue(index, m_from, address, message, std::move(ready));
}

std::optional<SettledReply> TransportSession::settledReply(bool wait)
{
    if (!m_sender)
        return std::nullopt;
    return m_sender->take(wait);
}

int TransportSession::repliesQueued() const
{
    return m_sender ? m_sender->queued() : 0;
}

QString TransportSession::failure() const
{
    if (m_failure.isEmpty() && m_sender)
        return m_sender->failure();
    return m_failure;
}

bool TransportSession::markRead(int index)
{
    joinPrefetch();
    return isValid(index) && m_inbox->markRead(m_ids.at(index));
}

void TransportSession::leaveUnread(int index)
{
    joinPrefetch();
    // A mail never fetched is as unread as it was.
    if (isValid(index) && m_fetched.at(index))
        m_inbox->leaveUnread(m_ids.at(index));
}

void TransportSession::signOff()
{
    joinPrefetch();
    m_prefetched.reset();
    // The failure of a reply stays readable after the sender has gone.
    if (m_sender) {
        m_sender->drain();
        if (m_failure.isEmpty())
            m_failure = m_sender->failure();
        m_sender.reset();
    }
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
