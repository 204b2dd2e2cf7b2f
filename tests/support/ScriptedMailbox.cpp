#include "support/ScriptedMailbox.h"

namespace Enrolix::Testing {

class ScriptedMailbox::Session final : public MailSession
{
public:
    explicit Session(ScriptedMailbox& box) : m_box(box) {}

    bool fetchUnread() override
    {
        if (m_box.fetchFails) {
            m_failure = m_box.failureReason;
            return false;
        }
        m_box.read.resize(m_box.mails.size(), false);
        m_unread.clear();
        for (int i = 0; i < m_box.mails.size(); ++i) {
            if (!m_box.read.at(i))
                m_unread.append(i);
        }
        return true;
    }
    int count() const override { return int(m_unread.size()); }
    std::optional<IncomingMail> read(int index) override
    {
        if (m_box.unreadable.contains(m_unread.at(index)))
            return std::nullopt;
        return m_box.mails.at(m_unread.at(index));
    }
    void queueReply(int index, const QString& address, const QString& name, const QString& subject, const QString& text,
                    std::function<bool()> ready) override
    {
        // Settled at once, in the order queued, as a fast outbox would.
        SendResult result = SendResult::Deferred;
        if (!ready || ready()) {
            result = m_box.sendResults.isEmpty() ? SendResult::Sent : m_box.sendResults.takeFirst();
            if (result == SendResult::Unavailable)
                m_failure = m_box.failureReason;
            if (result == SendResult::Sent)
                m_box.sent.append({m_unread.at(index), address, name, subject, text});
        }
        m_settled.append({index, result});
    }
    std::optional<SettledReply> settledReply(bool) override
    {
        if (m_settled.isEmpty())
            return std::nullopt;
        return m_settled.takeFirst();
    }
    int repliesQueued() const override { return int(m_settled.size()); }
    bool markRead(int index) override
    {
        m_box.read[m_unread.at(index)] = true;
        return true;
    }
    void leaveUnread(int index) override { m_box.read[m_unread.at(index)] = false; }
    void signOff() override { ++m_box.signOffs; }
    QString failure() const override { return m_failure; }

private:
    ScriptedMailbox& m_box;
    QString m_failure;
    QList<SettledReply> m_settled;
    QList<int> m_unread;
};

SignOn ScriptedMailbox::signOn(const QString& profile, std::stop_token /*stop*/)
{
    profiles.append(profile);
    if (signOnFails)
        return {nullptr, failureReason};
    return {std::make_unique<Session>(*this), {}};
}

void ScriptedMailbox::add(const IncomingMail& mail)
{
    mails.append(mail);
    if (mails.last().fingerprint.isEmpty())
        mails.last().fingerprint = QStringLiteral("scripted-%1").arg(mails.size());
}

int ScriptedMailbox::unreadCount() const
{
    int count = 0;
    for (int i = 0; i < mails.size(); ++i) {
        if (i >= read.size() || !read.at(i))
            ++count;
    }
    return count;
}

} // namespace Enrolix::Testing
