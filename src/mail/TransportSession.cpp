#include "mail/TransportSession.h"

#include "mail/MimeReader.h"
#include "mail/ReplyComposer.h"

#include <QCryptographicHash>

#include <algorithm>

namespace Enrolix {

TransportSession::TransportSession(std::unique_ptr<MailInbox> inbox, std::vector<std::unique_ptr<MailOutbox>> outboxes,
                                   const QString& from, std::stop_token stop)
    : m_inbox(std::move(inbox)), m_outboxes(std::move(outboxes)), m_from(from), m_stop(std::move(stop))
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

QStringList TransportSession::nextBatch(int first)
{
    const int size = std::min(m_batch, count() - first);
    for (int index = first; index < first + size; ++index)
        m_fetched[index] = true;
    m_nextFetch = first + size;
    m_batch = std::min(2 * m_batch, kLongestBatch);
    return m_ids.mid(first, size);
}

void TransportSession::keepFetched(int first, const QList<std::optional<QByteArray>>& messages)
{
    for (int offset = 0; offset < messages.size(); ++offset)
        m_ahead.insert(first + offset, messages.at(offset));
}

void TransportSession::joinFetch()
{
    if (!m_fetch.valid())
        return;
    keepFetched(m_fetching, m_fetch.get());
    m_fetching = -1;
}

void TransportSession::prefetch(int index)
{
    // The next batch starts once fewer mails wait fetched than it will hold.
    if (m_fetch.valid() || !isValid(index) || m_nextFetch >= count() || m_nextFetch - index >= m_batch ||
        m_inbox->lost())
        return;
    m_fetching = std::max(index, m_nextFetch);
    m_fetch = std::async(std::launch::async,
                         [inbox = m_inbox.get(), ids = nextBatch(m_fetching)] { return inbox->fetchMany(ids); });
}

std::optional<IncomingMail> TransportSession::read(int index)
{
    if (!isValid(index))
        return std::nullopt;
    if (!m_ahead.contains(index))
        joinFetch();
    if (!m_ahead.contains(index)) {
        if (index >= m_nextFetch) {
            keepFetched(index, m_inbox->fetchMany(nextBatch(index)));
        } else {
            // Read once already: fetched again alone.
            m_fetched[index] = true;
            m_ahead.insert(index, m_inbox->fetch(m_ids.at(index)));
        }
    }
    const std::optional<QByteArray> raw = m_ahead.take(index);
    if (!raw) {
        // One unreadable message is that message's trouble; a lost server is the session's.
        joinFetch();
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
    if (!m_sender && !m_outboxes.empty()) {
        QList<MailOutbox*> lanes;
        for (const std::unique_ptr<MailOutbox>& outbox : m_outboxes)
            lanes.append(outbox.get());
        m_sender = std::make_unique<ReplySender>(lanes, m_stop);
    }
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
    joinFetch();
    return isValid(index) && m_inbox->markRead(m_ids.at(index));
}

void TransportSession::leaveUnread(int index)
{
    joinFetch();
    // A mail never fetched is as unread as it was.
    if (isValid(index) && m_fetched.at(index))
        m_inbox->leaveUnread(m_ids.at(index));
}

void TransportSession::closeOutboxes()
{
    std::vector<std::future<void>> goodbyes;
    for (std::unique_ptr<MailOutbox>& outbox : m_outboxes)
        goodbyes.push_back(
            std::async(std::launch::async, [closing = std::move(outbox)]() mutable { closing.reset(); }));
    m_outboxes.clear();
}

void TransportSession::signOff()
{
    joinFetch();
    m_ahead.clear();
    // The failure of a reply stays readable after the sender has gone.
    if (m_sender) {
        m_sender->drain();
        if (m_failure.isEmpty())
            m_failure = m_sender->failure();
        m_sender.reset();
    }
    closeOutboxes();
    if (m_inbox)
        m_inbox->close();
    m_inbox.reset();
    m_ids.clear();
    m_mails.clear();
    m_fetched.clear();
}

} // namespace Enrolix
