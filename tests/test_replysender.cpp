// The threads that send a session's replies, against outboxes that hold a reply until the test
// lets it go or lose their connection: what becomes of the replies queued behind one when the
// sender is asked to stop, or destroyed; lanes sending at once, and what a lost one leaves.
#include "mail/MailOutbox.h"
#include "mail/ReplySender.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace Enrolix;
using namespace std::chrono_literals;

namespace {

const QString kFrom = QStringLiteral("attendant@example.com");

// Takes every message, each once the test has released the outbox.
class HeldOutbox final : public MailOutbox
{
public:
    SendResult send(const QString&, const QString& to, const QByteArray&) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_sent.append(to);
        m_changed.notify_all();
        // Bounded, so that a sender waiting for more than it should fails the test instead of hanging it.
        m_changed.wait_for(lock, 10s, [this] { return m_released; });
        return SendResult::Sent;
    }
    QString failure() const override { return {}; }

    bool waitUntilSending()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [this] { return !m_sent.isEmpty(); });
    }
    void release()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_released = true;
        }
        m_changed.notify_all();
    }
    QStringList sent() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_sent;
    bool m_released{false};
};

// Loses its connection at its first mail.
class LostOutbox final : public MailOutbox
{
public:
    SendResult send(const QString&, const QString&, const QByteArray&) override
    {
        ++sends;
        return SendResult::Unavailable;
    }
    QString failure() const override { return QStringLiteral("smtp://127.0.0.1:25: connection lost"); }
    bool lost() const override { return true; }

    std::atomic<int> sends{0};
};

// Releases the outbox when the last copy of the reply's ready check is dropped: the sender has
// put that reply aside, which it must do without waiting for the one being sent.
class ReleaseWhenDropped
{
public:
    explicit ReleaseWhenDropped(HeldOutbox& outbox) : m_outbox(outbox) {}
    ~ReleaseWhenDropped() { m_outbox.release(); }
    Q_DISABLE_COPY_MOVE(ReleaseWhenDropped)

private:
    HeldOutbox& m_outbox;
};

} // namespace

class TestReplySender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stopAsked_whileOneIsSending_defersTheOthersUnsent()
    {
        HeldOutbox outbox;
        std::stop_source stop;
        ReplySender sender(outbox, stop.get_token());
        std::atomic<bool> laterAsked{false};
        sender.queue(0, kFrom, QStringLiteral("ann@example.org"), "A", {});
        QVERIFY(outbox.waitUntilSending());
        for (int index : {1, 2})
            sender.queue(index, kFrom, QStringLiteral("later@example.org"), "B", [&laterAsked] {
                laterAsked = true;
                return true;
            });
        stop.request_stop();
        outbox.release();

        const std::pair<int, SendResult> expected[] = {
            {0, SendResult::Sent}, {1, SendResult::Deferred}, {2, SendResult::Deferred}};
        for (const auto& [index, result] : expected) {
            const std::optional<SettledReply> reply = sender.take(true);
            QVERIFY(reply);
            QCOMPARE(reply->index, index);
            QCOMPARE(reply->result, result);
        }
        QVERIFY(!sender.take(true));
        QCOMPARE(outbox.sent(), QStringList{QStringLiteral("ann@example.org")});
        QVERIFY(!laterAsked);
    }

    void lanes_sendAtOnce_andALostOneLeavesWhatWaitsToTheOthers()
    {
        HeldOutbox first;
        HeldOutbox second;
        LostOutbox lost;
        ReplySender sender({&lost, &first, &second});
        sender.queue(0, kFrom, QStringLiteral("ann@example.org"), "A", {});
        QCOMPARE(sender.take(true)->result, SendResult::Unavailable);
        sender.queue(1, kFrom, QStringLiteral("bob@example.org"), "B", {});
        sender.queue(2, kFrom, QStringLiteral("carl@example.org"), "C", {});
        // Both held at once: the two replies are under way side by side.
        QVERIFY(first.waitUntilSending() && second.waitUntilSending());
        first.release();
        second.release();
        QList<int> sent;
        for (int i = 0; i < 2; ++i) {
            const std::optional<SettledReply> reply = sender.take(true);
            QVERIFY(reply && reply->result == SendResult::Sent);
            sent << reply->index;
        }
        std::sort(sent.begin(), sent.end());
        QCOMPARE(sent, QList<int>({1, 2}));
        QCOMPARE(lost.sends.load(), 1);
    }

    void lanes_allLost_whatWaitsIsUnavailable()
    {
        LostOutbox first;
        LostOutbox second;
        ReplySender sender({&first, &second});
        for (int index = 0; index < 5; ++index)
            sender.queue(index, kFrom, QStringLiteral("ann@example.org"), "A", {});
        for (int index = 0; index < 5; ++index) {
            const std::optional<SettledReply> reply = sender.take(true);
            QVERIFY(reply && reply->result == SendResult::Unavailable);
        }
        QVERIFY(!sender.take(true));
        // Each lane tried once: no lane asks a lost outbox again.
        QCOMPARE(first.sends.load(), 1);
        QCOMPARE(second.sends.load(), 1);
        QVERIFY(sender.failure().contains(QStringLiteral("connection lost")));
    }

    void destroyed_whileOneIsSending_sendsNoneQueuedBehindIt()
    {
        HeldOutbox outbox;
        auto sender = std::make_unique<ReplySender>(outbox);
        std::atomic<bool> laterAsked{false};
        sender->queue(0, kFrom, QStringLiteral("ann@example.org"), "A", {});
        QVERIFY(outbox.waitUntilSending());
        auto release = std::make_shared<ReleaseWhenDropped>(outbox);
        sender->queue(1, kFrom, QStringLiteral("bob@example.org"), "B", [release, &laterAsked] {
            laterAsked = true;
            return true;
        });
        release.reset();
        sender->queue(2, kFrom, QStringLiteral("carl@example.org"), "C", [&laterAsked] {
            laterAsked = true;
            return true;
        });

        sender.reset();
        QCOMPARE(outbox.sent(), QStringList{QStringLiteral("ann@example.org")});
        QVERIFY(!laterAsked);
    }
};

QTEST_GUILESS_MAIN(TestReplySender)
#include "test_replysender.moc"
