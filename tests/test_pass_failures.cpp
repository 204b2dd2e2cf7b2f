// How a processing pass meets failures: of the connection, of one mail, of a reply.
#include "attendant/AttendantTexts.h"
#include "attendant/PendingReplies.h"
#include "attendant/ProcessingPass.h"
#include "events/WorkingFolderLock.h"
#include "settings/SettingsKeys.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ScriptedMailbox.h"
#include "support/Subjects.h"

#include <QDir>
#include <QLockFile>
#include <QtTest>

#include <chrono>
#include <future>
#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;
using namespace Enrolix::Testing::Subjects;

Q_DECLARE_METATYPE(Enrolix::SendResult)

namespace {

IncomingMail request(const QString& subject, const QString& text, const QString& name = QStringLiteral("Ann"))
{
    IncomingMail mail;
    mail.senderName = name;
    mail.senderAddress = QStringLiteral("ann@example.org");
    mail.subject = subject;
    mail.text = text;
    mail.messageId = QStringLiteral("1@example.org");
    return mail;
}

// A registration of E00012 noted in the pending replies, with the digests of the list before
// and after it (none, as an entry of an earlier version has, without before).
PendingReplies::Entry pendingRegistration(const QString& key, const QString& name, const QString& before,
                                          const QString& after)
{
    PendingReplies::Entry entry;
    entry.key = key;
    entry.event = QStringLiteral("E00012");
    entry.kind = RequestProtocol::RequestKind::Registration;
    entry.name = name;
    entry.reply = {kRegistered, QStringLiteral("Saved")};
    entry.address = name.toLower() + QStringLiteral("@example.org");
    if (!before.isEmpty()) {
        entry.before = PendingReplies::listDigest(before);
        entry.after = PendingReplies::listDigest(after);
    }
    return entry;
}

} // namespace

class TestPassFailures : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedMailbox> m_box;
    std::unique_ptr<PassRig> m_rig;

    OpenEvent event() const { return {m_rig->folders, QStringLiteral("E00012")}; }
    QString pendingFile() const { return PendingReplies::pathIn(m_rig->folders.work()); }

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<ScriptedMailbox>();
        m_rig = std::make_unique<PassRig>(*m_box);
        OpenEvent::create(m_rig->folders, QStringLiteral("E00012"), "Bob\r\n");
    }
    void cleanup()
    {
        m_rig.reset();
        m_box.reset();
    }

    // Connection failures
    void signOnFails_countsAndShowsNotConnected()
    {
        m_box->signOnFails = true;
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_rig->run();
        QCOMPARE(m_box->profiles, QStringList({QStringLiteral("MS Exchange Settings")}));
        QCOMPARE(m_rig->listener.statuses, QStringList({AttendantTexts::kNotConnected}));
        QCOMPARE(m_rig->listener.failures, QList<qint16>({1}));
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
        QCOMPARE(event().list(), QByteArray("Bob\r\n"));
        m_rig->run();
        QCOMPARE(m_rig->listener.failures, QList<qint16>({1, 2}));
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(0));
    }

    void fetchFails_signsOffAndHandlesNothing()
    {
        m_box->fetchFails = true;
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_rig->run();
        QCOMPARE(m_rig->listener.statuses, QStringList({AttendantTexts::kConnecting, AttendantTexts::kNotConnected}));
        QCOMPARE(m_box->signOffs, 1);
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
        QVERIFY(m_box->sent.isEmpty());
    }

    void failureThenSuccess_statusShowsConnectedAgain()
    {
        m_box->signOnFails = true;
        m_rig->run();
        m_box->signOnFails = false;
        m_rig->listener.clear();
        m_rig->run();
        QCOMPARE(m_rig->listener.statuses, QStringList({AttendantTexts::kConnecting, AttendantTexts::kConnected}));
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
    }

    void folderHeldByAnother_stopAsked_endsTheWaitAtOnce()
    {
        QLockFile held(m_rig->folders.work() + WorkingFolderLock::kFileName);
        QVERIFY(held.tryLock(0));
        std::stop_source stop;
        ProcessingPass pass(m_rig->settings, *m_box, m_rig->listener, stop.get_token());
        // Whether the stop comes before the wait or during it, the pass ends long before its 30 s.
        std::future<PassReport> ended = std::async(std::launch::async, [&pass] { return pass.run(); });
        stop.request_stop();
        QVERIFY(ended.wait_for(std::chrono::seconds(2)) == std::future_status::ready);
        QVERIFY(ended.get().busy);
        QVERIFY(m_box->profiles.isEmpty());
    }

    // Replies that are not sent
    void sendResult_decidesWhetherTheMailStaysUnread_data()
    {
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<bool>("unread");
        QTest::addColumn<int>("counted");
        QTest::addColumn<int>("failedPasses");
        QTest::newRow("sent") << SendResult::Sent << false << 1 << 0;
        QTest::newRow("deferred for the recipient") << SendResult::Deferred << true << 0 << 0;
        QTest::newRow("outbox unavailable") << SendResult::Unavailable << true << 0 << 1;
        QTest::newRow("refused for good") << SendResult::Refused << false << 0 << 0;
    }
    void sendResult_decidesWhetherTheMailStaysUnread()
    {
        QFETCH(SendResult, result);
        QFETCH(bool, unread);
        QFETCH(int, counted);
        QFETCH(int, failedPasses);
        m_box->sendResults = {result};
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        const PassReport report = m_rig->run();
        // The registration stands whatever became of its reply.
        QCOMPARE(event().list(), QByteArray("Bob\r\nAnn\r\n"));
        QCOMPARE(m_box->unreadCount(), unread ? 1 : 0);
        QCOMPARE(int(m_rig->pass().iRequestsProcessed()), counted);
        QCOMPARE(int(m_rig->listener.repliesSent.size()), counted);
        QCOMPARE(int(m_rig->pass().iMAPIErrors()), failedPasses);
        QCOMPARE(report.failure.isEmpty(), failedPasses == 0);
    }

    void refusedReplies_areGivenUpOnlyOnceNoRefusalOfTheProfileFollows_data()
    {
        QTest::addColumn<QList<SendResult>>("results");
        QTest::addColumn<QList<bool>>("read");
        QTest::addColumn<int>("passedOver");
        QTest::addColumn<int>("leftForLater");
        QTest::newRow("refused, then the profile refused")
            << QList<SendResult>{SendResult::Refused, SendResult::Refused, SendResult::Unavailable}
            << QList<bool>{false, false, false} << 0 << 3;
        QTest::newRow("refused, then a reply sent")
            << QList<SendResult>{SendResult::Refused, SendResult::Sent, SendResult::Deferred}
            << QList<bool>{true, true, false} << 1 << 1;
        QTest::newRow("refused until the pass ends")
            << QList<SendResult>{SendResult::Deferred, SendResult::Refused, SendResult::Refused}
            << QList<bool>{false, true, true} << 2 << 1;
    }
    void refusedReplies_areGivenUpOnlyOnceNoRefusalOfTheProfileFollows()
    {
        QFETCH(QList<SendResult>, results);
        QFETCH(QList<bool>, read);
        QFETCH(int, passedOver);
        QFETCH(int, leftForLater);
        m_box->sendResults = results;
        for (const QString& name : {QStringLiteral("Ann"), QStringLiteral("Carl"), QStringLiteral("Dora")})
            m_box->add(request(kRegister, QStringLiteral("E00012"), name));
        const PassReport report = m_rig->run();
        QCOMPARE(m_box->read, read);
        QCOMPARE(report.passedOver, passedOver);
        QCOMPARE(report.leftForLater, leftForLater);
        QCOMPARE(report.failure.isEmpty(), !results.contains(SendResult::Unavailable));
        QCOMPARE(event().list(), QByteArray("Bob\r\nAnn\r\nCarl\r\nDora\r\n"));
    }

    void replyNotSent_nextPassSendsTheFirstAttemptsReply_data()
    {
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("registration deferred")
            << SendResult::Deferred << kRegister << "Ann" << QByteArray("Bob\r\nAnn\r\n");
        QTest::newRow("registration, outbox unavailable")
            << SendResult::Unavailable << kRegister << "Ann" << QByteArray("Bob\r\nAnn\r\n");
        QTest::newRow("cancellation deferred") << SendResult::Deferred << kCancel << "Bob" << QByteArray();
        QTest::newRow("cancellation, outbox unavailable")
            << SendResult::Unavailable << kCancel << "Bob" << QByteArray();
    }
    void replyNotSent_nextPassSendsTheFirstAttemptsReply()
    {
        QFETCH(SendResult, result);
        QFETCH(QString, subject);
        QFETCH(QString, name);
        QFETCH(QByteArray, list);
        m_box->sendResults = {result};
        m_box->add(request(subject, QStringLiteral("E00012"), name));
        m_rig->run();
        QVERIFY(m_box->sent.isEmpty());
        m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        const QString expected = subject == kRegister ? kRegistered : kCancelled;
        QCOMPARE(m_box->sent.first().subject, expected);
        QVERIFY(m_box->sent.first().text.endsWith(QStringLiteral("Course\r\nMay 4\r\n")));
        QCOMPARE(event().list(), list);
        QCOMPARE(m_box->unreadCount(), 0);
        // Once the reply went out, nothing of it is kept.
        QVERIFY(!QFile::exists(pendingFile()));
    }

    // The attendant's rules and a reply that could not go out
    void ruleRefusal_notSent_isStillTheAnswerAfterTheRuleChanged()
    {
        m_rig->settings.attendant.cancel_only_from_registering_address = true;
        TestFolders::write(event().addressPath(), "Bob\tbob@example.org\r\n");
        m_box->sendResults = {SendResult::Unavailable};
        m_box->add(request(kCancel, QStringLiteral("E00012"), QStringLiteral("Bob")));
        m_rig->run();
        QVERIFY(m_box->sent.isEmpty());
        m_rig->settings.attendant.cancel_only_from_registering_address = false;
        m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, QStringLiteral("Cancellation Request Not Processed"));
        QCOMPARE(event().list(), QByteArray("Bob\r\n"));
        QCOMPARE(m_box->unreadCount(), 0);
    }

    void valve_mailRetried_isCountedOnce()
    {
        m_rig->settings.attendant.max_replies_per_sender = 1;
        m_box->sendResults = {SendResult::Unavailable};
        // For no open event: its reply is not kept in the pending replies, so the retry meets the valve.
        m_box->add(request(kRegister, QStringLiteral("E00099")));
        m_rig->run();
        QVERIFY(m_box->sent.isEmpty());
        m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, QStringLiteral("Request Not Processed"));
        // The next mail of the sender is one too many.
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        const PassReport report = m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(report.passedOver, 1);
        QCOMPARE(report.overReplyLimit, QStringList{QStringLiteral("ann@example.org")});
        QCOMPARE(event().list(), QByteArray("Bob\r\n"));
        QCOMPARE(m_box->unreadCount(), 0);
    }

    void outboxUnavailable_changesNoFurtherListAndLeavesTheRestUnread()
    {
        m_box->failureReason = QStringLiteral("smtp://127.0.0.1:25: host unreachable");
        m_box->sendResults = {SendResult::Sent, SendResult::Unavailable};
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Carl")));
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Dora")));
        m_box->add(request(kCancel, QStringLiteral("E00012"), QStringLiteral("Bob")));
        const PassReport report = m_rig->run();
        QCOMPARE(event().list(), QByteArray("Bob\r\nAnn\r\nCarl\r\n"));
        QCOMPARE(m_box->read, QList<bool>({true, false, false, false}));
        QCOMPARE(report.replies, 1);
        QCOMPARE(report.leftForLater, 3);
        QCOMPARE(m_rig->listener.statuses,
                 QStringList({AttendantTexts::kConnecting, AttendantTexts::kConnected, AttendantTexts::kNotConnected}));
        QCOMPARE(m_rig->listener.failures, QList<qint16>({1}));
        QCOMPARE(m_rig->listener.reasons, QStringList({m_box->failureReason}));
        QCOMPARE(report.failure, m_box->failureReason);

        m_rig->run();
        QStringList subjects;
        for (const ScriptedMailbox::Sent& sent : m_box->sent)
            subjects << sent.subject;
        QCOMPARE(subjects, QStringList({kRegistered, kRegistered, kRegistered, kCancelled}));
        QCOMPARE(event().list(), QByteArray("Ann\r\nCarl\r\nDora\r\n"));
        QCOMPARE(m_box->unreadCount(), 0);
    }

    // The file of pending replies
    void pendingChange_leftByAPassThatDied_isFinishedOnceBeforeItsReply_data()
    {
        QTest::addColumn<QByteArray>("listLeft");
        QTest::addColumn<bool>("digests");
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("announced, not made") << QByteArray("Bob\r\n") << true << QByteArray("Bob\r\nAnn\r\n");
        QTest::newRow("announced and made") << QByteArray("Bob\r\nAnn\r\n") << true << QByteArray("Bob\r\nAnn\r\n");
        QTest::newRow("changed by other hands since")
            << QByteArray("Bob\r\nZed\r\n") << true << QByteArray("Bob\r\nZed\r\n");
        // An entry of an earlier version: the last change that pass made.
        QTest::newRow("without digests, not made") << QByteArray("Bob\r\n") << false << QByteArray("Bob\r\nAnn\r\n");
    }
    void pendingChange_leftByAPassThatDied_isFinishedOnceBeforeItsReply()
    {
        QFETCH(QByteArray, listLeft);
        QFETCH(bool, digests);
        QFETCH(QByteArray, list);
        TestFolders::write(event().listPath(), listLeft);
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        PendingReplies pending(pendingFile());
        QVERIFY(pending.load());
        QVERIFY(pending.add(pendingRegistration(m_box->mails.first().fingerprint, QStringLiteral("Ann"),
                                                digests ? QStringLiteral("Bob\r\n") : QString(),
                                                QStringLiteral("Bob\r\nAnn\r\n"))));
        m_rig->run();
        QCOMPARE(event().list(), list);
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().text, QStringLiteral("Saved"));
    }

    // Requests whose replies did not go out, and the requests after them, as a pass that died
    // while its replies lagged behind leaves them: the retried ones get the reply of their first
    // attempt, and the lists hold the changes in mailbox order.
    void retriedRequests_keepTheirFirstReplyAndTheOrderOfChanges_data()
    {
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QList<SendResult>>("firstPass");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("subjects");
        QTest::newRow("registered again after a cancellation, the next reply lost")
            << QStringList{"+Ann", "-Ann", "+Ann", "+Carl"}
            << QList<SendResult>{SendResult::Sent, SendResult::Sent, SendResult::Sent, SendResult::Unavailable}
            << QByteArray("Bob\r\nAnn\r\nCarl\r\n") << QStringList{kRegistered, kCancelled, kRegistered, kRegistered};
        QTest::newRow("a duplicate whose name was cancelled after it")
            << QStringList{"+Ann", "+Ann", "-Ann"} << QList<SendResult>{SendResult::Sent, SendResult::Deferred}
            << QByteArray("Bob\r\n") << QStringList{kRegistered, kCancelled, kDuplicate};
        QTest::newRow("not registered, then registered")
            << QStringList{"-Ann", "+Ann"} << QList<SendResult>{SendResult::Deferred} << QByteArray("Bob\r\nAnn\r\n")
            << QStringList{kRegistered, kNotRegistered};
        QTest::newRow("the list asked for before a cancellation")
            << QStringList{"?Ann", "-Bob"} << QList<SendResult>{SendResult::Deferred} << QByteArray()
            << QStringList{kCancelled, kAttendees};
    }
    void retriedRequests_keepTheirFirstReplyAndTheOrderOfChanges()
    {
        QFETCH(QStringList, requests);
        QFETCH(QList<SendResult>, firstPass);
        QFETCH(QByteArray, list);
        QFETCH(QStringList, subjects);
        const QMap<QChar, QString> kinds{
            {QLatin1Char('+'), kRegister}, {QLatin1Char('-'), kCancel}, {QLatin1Char('?'), kAttendeeList}};
        for (const QString& mail : requests)
            m_box->add(request(kinds.value(mail.front()), QStringLiteral("E00012"), mail.mid(1)));
        m_box->sendResults = firstPass;
        m_rig->run();
        m_rig->run();
        QCOMPARE(event().list(), list);
        QStringList sent;
        for (const ScriptedMailbox::Sent& reply : std::as_const(m_box->sent))
            sent << reply.subject;
        QCOMPARE(sent, subjects);
        QCOMPARE(m_box->unreadCount(), 0);
        // The list of the attendees is the one its request was first answered with.
        for (const ScriptedMailbox::Sent& reply : std::as_const(m_box->sent)) {
            if (reply.subject == kAttendees)
                QVERIFY(reply.text.contains(QStringLiteral(":\r\n\r\nBob\r\n")));
        }
    }

    void pendingEntry_ofAClosedEvent_isAnsweredAfresh()
    {
        m_box->sendResults = {SendResult::Deferred};
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        m_rig->run();
        QFile::rename(event().listPath(), event().listPath() + QStringLiteral(".cl"));
        m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, kNotProcessed);
        QVERIFY(!QFile::exists(pendingFile()));
    }

    void pendingFile_unreadable_changesNoListAndCountsAFailure()
    {
        QDir().mkpath(pendingFile());
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        const PassReport report = m_rig->run();
        QCOMPARE(event().list(), QByteArray("Bob\r\n"));
        QCOMPARE(m_box->unreadCount(), 1);
        QVERIFY(m_box->sent.isEmpty());
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
        QVERIFY2(report.failure.contains(pendingFile()), qPrintable(report.failure));
    }

    void pendingEntry_ofAMailNoLongerWaiting_isForgottenAfterAWholePass()
    {
        PendingReplies pending(pendingFile());
        QVERIFY(pending.load());
        QVERIFY(pending.add(pendingRegistration(QStringLiteral("gone"), QStringLiteral("Zed"),
                                                QStringLiteral("Bob\r\n"), QStringLiteral("Bob\r\nZed\r\n"))));
        m_box->sendResults = {SendResult::Deferred};
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        m_rig->run();
        PendingReplies after(pendingFile());
        QVERIFY(after.load());
        QVERIFY(!after.find(QStringLiteral("gone")));
        QVERIFY(after.find(m_box->mails.first().fingerprint));
        // Its change was made sure of first: an append lost to a power cut comes back this way.
        QCOMPARE(event().list(), QByteArray("Bob\r\nZed\r\nAnn\r\n"));
    }

    // One mail failing does not stop the others
    void unreadableMail_staysUnreadAndOthersGoOn()
    {
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Carl")));
        m_box->unreadable = {0};
        m_rig->run();
        QCOMPARE(event().list(), QByteArray("Bob\r\nCarl\r\n"));
        QCOMPARE(m_box->read, QList<bool>({false, true}));
        QCOMPARE(m_box->sent.size(), 1);
    }

    void missingDescription_isNoOpenEventAndChangesNothing()
    {
        QFile::remove(event().descriptionPath());
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_rig->run();
        QCOMPARE(event().list(), QByteArray("Bob\r\n"));
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, kNotProcessed);
    }

    void recordFileIsAFolder_isNoOpenEvent()
    {
        const OpenEvent folder(m_rig->folders, QStringLiteral("E00013"));
        QDir().mkpath(folder.listPath());
        TestFolders::write(folder.descriptionPath(), "x");
        m_box->add(request(kRegister, QStringLiteral("E00013")));
        m_rig->run();
        QCOMPARE(m_box->sent.first().subject, kNotProcessed);
        QVERIFY(QFileInfo(folder.listPath()).isDir());
    }

    // Replies go to the sender under their display name
    void reply_goesToSenderUnderDisplayName()
    {
        m_box->add(request(kAttendeeList, QStringLiteral("E00012"), QStringLiteral("Müller, Zoë")));
        m_rig->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().address, QStringLiteral("ann@example.org"));
        QCOMPARE(m_box->sent.first().name, QStringLiteral("Müller, Zoë"));
        QCOMPARE(m_box->sent.first().index, 0);
    }

    // Counters
    void counters_stopAt32767()
    {
        // All from one sender: no limit on the replies to one sender.
        m_rig->settings.attendant.max_replies_per_sender = 0;
        for (int i = 0; i < 32769; ++i)
            m_box->add(request(kRegister, QStringLiteral("E99999")));
        m_rig->run();
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(32767));
        QCOMPARE(m_rig->listener.repliesSent.last(), qint16(32767));
        QCOMPARE(m_box->unreadCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPassFailures)
#include "test_pass_failures.moc"
