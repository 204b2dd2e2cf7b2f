// How the SMTP outbox sorts what a server answers: a refusal for one recipient's mailbox, for now,
// or of the whole profile (by its enhanced status code, its reply code, or the same refusal for
// several recipients in a row).
#include "mail/MailProfile.h"
#include "mail/SmtpConnections.h"
#include "mail/SmtpOutbox.h"

#include <QtTest>

#include <memory>

using namespace Enrolix;

Q_DECLARE_METATYPE(Enrolix::SendResult)

namespace {

const QString kServer = QStringLiteral("smtp://127.0.0.1:25");

// A server that gives each send the next of its answers: "250" takes the mail, anything else
// refuses it at the stage named first ("RCPT 550 5.1.1 No such user").
class AnsweringTransport final : public MailTransport
{
public:
    explicit AnsweringTransport(QStringList answers) : m_answers(std::move(answers)) {}

    bool request(const QByteArray&, const QByteArray&) override { return false; }
    bool send(const QByteArray&, const QByteArray&, const QByteArray&, const QByteArray&) override
    {
        ++sends;
        const QString next = m_answers.isEmpty() ? QStringLiteral("250") : m_answers.takeFirst();
        m_failure = {};
        if (next == QLatin1String("250"))
            return true;
        const QString stage = next.section(QLatin1Char(' '), 0, 0);
        const QString answer = next.section(QLatin1Char(' '), 1);
        m_failure = {stage == QLatin1String("RCPT") ? TransportFailure::Stage::Recipient
                                                    : TransportFailure::Stage::Other,
                     answer.left(3).toLong(), kServer + QStringLiteral(": refused at ") + stage, kServer, answer};
        return false;
    }
    const QByteArray& body() const override { return m_none; }
    const QByteArray& headers() const override { return m_none; }
    TransportFailure failure() const override { return m_failure; }
    bool lost() const override { return false; }
    void startAfresh() override {}

    int sends{0};

private:
    QStringList m_answers;
    TransportFailure m_failure;
    QByteArray m_none;
};

struct Outbox
{
    explicit Outbox(const QStringList& answers)
    {
        MailProfile profile;
        profile.outbox = kServer;
        auto owned = std::make_unique<AnsweringTransport>(answers);
        transport = owned.get();
        outbox = std::make_unique<SmtpOutbox>(profile, std::move(owned));
    }
    SendResult send(const QString& to) { return outbox->send(QStringLiteral("us@example.com"), to, "Subject: x\r\n"); }

    AnsweringTransport* transport{nullptr};
    std::unique_ptr<SmtpOutbox> outbox;
};

} // namespace

class TestSmtpRefusals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A lost connection is its own trouble while another connection sent, or still sends its first
    // mail; the last one lost stops them all.
    void lostConnection_stopsAllOnlyWhenNoOtherSendsOrSent_data()
    {
        QTest::addColumn<bool>("lostHadSent");
        QTest::addColumn<int>("othersSent");
        QTest::addColumn<int>("othersSending");
        QTest::addColumn<bool>("othersGoOn");
        QTest::newRow("alone") << false << 0 << 0 << false;
        QTest::newRow("alone, after mails of its own") << true << 0 << 0 << false;
        QTest::newRow("another sent") << false << 1 << 0 << true;
        QTest::newRow("another at its first mail") << true << 0 << 1 << true;
        QTest::newRow("two at their first mail") << false << 0 << 2 << true;
    }
    void lostConnection_stopsAllOnlyWhenNoOtherSendsOrSent()
    {
        QFETCH(bool, lostHadSent);
        QFETCH(int, othersSent);
        QFETCH(int, othersSending);
        QFETCH(bool, othersGoOn);
        SmtpConnections connections;
        for (int i = 0; i < othersSent + (lostHadSent ? 1 : 0); ++i)
            connections.working();
        for (int i = 0; i < othersSending; ++i)
            connections.sendingStarted();
        const QString lost = QStringLiteral("smtp://127.0.0.1:25: connection lost");
        QCOMPARE(connections.leave(lostHadSent, lost), othersGoOn);
        QCOMPARE(connections.stopped(), othersGoOn ? std::nullopt : std::optional<QString>(lost));
        // Those still sending fail in their turn: the last of them stops the rest, with its reason.
        for (int i = 0; i < othersSending; ++i) {
            connections.sendingEnded();
            const bool last = i + 1 == othersSending && othersSent == 0;
            QCOMPARE(connections.leave(false, QStringLiteral("gone %1").arg(i)), !last);
        }
        if (othersSending > 0 && othersSent == 0)
            QCOMPARE(connections.stopped(), std::optional<QString>(QStringLiteral("gone %1").arg(othersSending - 1)));
    }

    // One refusal
    void refusal_isSortedByWhatItConcerns_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<QString>("failure");
        const QString refuses = kServer + QStringLiteral(": the server refuses to send mail: ");
        const auto transportReason = [](const QString& stage) {
            return kServer + QStringLiteral(": refused at ") + stage;
        };
        QTest::newRow("no such mailbox") << "RCPT 550 5.1.1 No such user" << SendResult::Refused
                                         << transportReason("RCPT");
        QTest::newRow("mailbox full") << "RCPT 552 5.2.2 Mailbox full" << SendResult::Refused
                                      << transportReason("RCPT");
        QTest::newRow("mailbox code alone")
            << "RCPT 550 No such user" << SendResult::Refused << transportReason("RCPT");
        QTest::newRow("domain takes no mail")
            << "RCPT 556 No mail here" << SendResult::Refused << transportReason("RCPT");
        QTest::newRow("policy code beats a mailbox's reply code")
            << "RCPT 550 5.7.1 Relaying denied" << SendResult::Unavailable << refuses + "550 5.7.1 Relaying denied";
        QTest::newRow("sender's address refused at a recipient")
            << "RCPT 553 5.1.8 Sender domain unknown" << SendResult::Unavailable
            << refuses + "553 5.1.8 Sender domain unknown";
        QTest::newRow("sign-on wanted, no enhanced code")
            << "RCPT 530 Authentication required" << SendResult::Unavailable << refuses + "530 Authentication required";
        QTest::newRow("controls in the answer are shown") << "RCPT 554 5.7.1 Denied\x1b[31m" << SendResult::Unavailable
                                                          << refuses + QStringLiteral("554 5.7.1 Denied\u241b[31m");
        QTest::newRow("transaction failed, nothing said of the address")
            << "RCPT 554 Transaction failed" << SendResult::Deferred << transportReason("RCPT");
        QTest::newRow("552 for a recipient waits")
            << "RCPT 552 Too many recipients" << SendResult::Deferred << transportReason("RCPT");
        QTest::newRow("protocol trouble")
            << "RCPT 501 5.5.4 Invalid arguments" << SendResult::Deferred << transportReason("RCPT");
        QTest::newRow("enhanced code of another class is not taken")
            << "RCPT 550 4.7.1 Odd server" << SendResult::Refused << transportReason("RCPT");
        QTest::newRow("greylisted") << "RCPT 450 4.7.1 Greylisted" << SendResult::Deferred << transportReason("RCPT");
        QTest::newRow("sender put off") << "MAIL 451 4.3.0 Try later" << SendResult::Unavailable
                                        << transportReason("MAIL");
    }
    void refusal_isSortedByWhatItConcerns()
    {
        QFETCH(QString, answer);
        QFETCH(SendResult, result);
        QFETCH(QString, failure);
        Outbox box({answer});
        QCOMPARE(box.send(QStringLiteral("ann@example.org")), result);
        QCOMPARE(box.outbox->failure(), failure);
    }

    // Several refusals in a row
    void refusalsInARow_ofTheSameKindForSeveralRecipients_refuseTheProfile_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("recipients");
        QTest::addColumn<QList<SendResult>>("results");
        const QString relay = QStringLiteral("RCPT 554 Relay access denied");
        const QString unknown = QStringLiteral("RCPT 550 Unknown");
        const QStringList three{"a@example.org", "b@example.org", "c@example.org"};
        QTest::newRow("554 for three recipients")
            << QStringList{relay, relay, relay, relay}
            << QStringList{"a@example.org", "B@example.org", "c@example.org", "d@example.org"}
            << QList<SendResult>{SendResult::Deferred, SendResult::Deferred, SendResult::Unavailable,
                                 SendResult::Unavailable};
        QTest::newRow("the same recipient thrice")
            << QStringList{relay, relay, relay} << QStringList{"a@example.org", "A@example.org", "a@example.org"}
            << QList<SendResult>{SendResult::Deferred, SendResult::Deferred, SendResult::Deferred};
        QTest::newRow("another refusal between")
            << QStringList{relay, unknown, relay} << three
            << QList<SendResult>{SendResult::Deferred, SendResult::Refused, SendResult::Deferred};
        QTest::newRow("a reply sent between")
            << QStringList{unknown, unknown, "250", unknown}
            << QStringList{"a@example.org", "b@example.org", "c@example.org", "d@example.org"}
            << QList<SendResult>{SendResult::Refused, SendResult::Refused, SendResult::Sent, SendResult::Refused};
        QTest::newRow("answers that name the mailbox")
            << QStringList{"RCPT 550 5.1.1 No such user", "RCPT 550 5.1.1 No such user", "RCPT 550 5.1.1 No such user"}
            << three << QList<SendResult>{SendResult::Refused, SendResult::Refused, SendResult::Refused};
    }
    void refusalsInARow_ofTheSameKindForSeveralRecipients_refuseTheProfile()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, recipients);
        QFETCH(QList<SendResult>, results);
        Outbox box(answers);
        QList<SendResult> got;
        for (const QString& to : recipients)
            got << box.send(to);
        QCOMPARE(got, results);
        // Once the profile is refused, nothing more is offered to the server.
        const qsizetype offered = results.indexOf(SendResult::Unavailable);
        QCOMPARE(box.transport->sends, offered < 0 ? int(results.size()) : int(offered) + 1);
        if (offered >= 0)
            QCOMPARE(box.outbox->failure(),
                     kServer + QStringLiteral(": the server refuses to send mail: ") + answers.at(offered).mid(5) +
                         QStringLiteral(" (%1 recipients in a row)").arg(SmtpOutbox::kRefusalStreak));
    }
};

QTEST_GUILESS_MAIN(TestSmtpRefusals)
#include "test_smtp_refusals.moc"
