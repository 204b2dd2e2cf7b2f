// The processing pass end to end: request mails in a real mailbox, the event files byte for
// byte, and the replies as they arrive. Built twice: against Maildir folders, and (with
// ENROLIX_PASS_ON_SERVERS) against the Dovecot server and the SMTP sink of the test fixture.
#include "attendant/AttendantTexts.h"
#include "mail/MimeReader.h"
#include "support/ClosedEventFiles.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/SelectedBackend.h"
#include "support/Subjects.h"

#include <QDir>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

using namespace Enrolix::Testing::Subjects;

const QByteArray kDescription = "Safety course\r\nMay 4, 2027\r\n";
const QString kSelected = QStringLiteral("If you are selected, an invitation for this course will be sent to you via "
                                         "E-mail after the closure of the sign-up period.");

// A message body always ends in a line end: a text without one arrives with one added.
QString asTransported(const QString& text)
{
    return text.endsWith(QStringLiteral("\r\n")) ? text : text + QStringLiteral("\r\n");
}

} // namespace

class TestPass : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PassRigOn<Backend>> m_rig;

    OpenEvent createEvent(const QString& event, const QByteArray& list = {}) const
    {
        return OpenEvent::create(m_rig->folders, event, list, kDescription);
    }
    QByteArray signUps(const QString& event) const { return OpenEvent(m_rig->folders, event).list(); }

    void send(const QString& subject, const QString& text, const QString& name,
              const QString& address = QStringLiteral("ann@example.org"))
    {
        const QByteArray raw = requestMail(subject, text, name, address);
        m_requestIds << headerOf(raw, "Message-ID");
        m_rig->mail.deliver(raw);
    }

    // Every file of the working folder with its content, and the names in the test's root.
    QMap<QString, QByteArray> workingFiles() const
    {
        QMap<QString, QByteArray> files;
        const QDir work(m_rig->folders.work());
        for (const QString& name : work.entryList(QDir::Files | QDir::Hidden))
            files.insert(name, TestFolders::read(work.filePath(name)));
        // The per-user data folder may appear: it holds the journal of mails in flight.
        QStringList top = QDir(m_rig->folders.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        top.removeAll(QStringLiteral("data"));
        files.insert(QStringLiteral("(root)"), top.join(QLatin1Char(',')).toUtf8());
        return files;
    }

    // The replies that arrived since the last call, in the order of their requests.
    QList<QByteArray> m_requestIds;
    QList<QByteArray> m_seen;
    QList<QByteArray> newReplies()
    {
        const QList<QByteArray> all = m_rig->mail.replies();
        QList<QByteArray> fresh = all.mid(m_seen.size());
        m_seen = all;
        return inRequestOrder(fresh, m_requestIds);
    }

    void expectOneReply(const QString& subject, const QString& text, const QString& name,
                        const QString& address = QStringLiteral("ann@example.org"))
    {
        const QList<QByteArray> replies = newReplies();
        QCOMPARE(replies.size(), 1);
        const IncomingMail reply = MimeReader::read(replies.first());
        QCOMPARE(reply.subject, subject);
        QCOMPARE(reply.text, asTransported(text));
        const Recipient to = recipientOf(replies.first());
        QCOMPARE(to.address, address);
        QCOMPARE(to.name, name);
    }

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<PassRigOn<Backend>>();
        QVERIFY2(m_rig->mail.problem().isEmpty(), qPrintable(m_rig->mail.problem()));
        m_seen.clear();
        m_requestIds.clear();
    }

    void cleanup() { m_rig.reset(); }

    // Mailboxes without requests
    void emptyMailbox_connectsAndSendsNothing()
    {
        m_rig->run();
        QCOMPARE(m_rig->listener.statuses, QStringList({AttendantTexts::kConnecting, AttendantTexts::kConnected}));
        QVERIFY(m_rig->listener.failures.isEmpty());
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(0));
        QVERIFY(newReplies().isEmpty());
    }

    void otherSubjects_changeNothingAndAreMarkedRead()
    {
        createEvent(QStringLiteral("E00012"));
        const auto before = workingFiles();
        send(QStringLiteral("RE: ") + kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"));
        send(QString(kRegister).replace(QStringLiteral("   "), QStringLiteral("  ")), QStringLiteral("E00012"),
             QStringLiteral("Ann"));
        send(QString(kRegister).replace(0, 1, QLatin1Char('r')), QStringLiteral("E00012"), QStringLiteral("Ann"));
        send(QStringLiteral("Lunch?"), QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(workingFiles(), before);
        QVERIFY(newReplies().isEmpty());
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(0));
        QCOMPARE(m_rig->mail.unreadCount(), 0);
    }

    // Registration
    void registration_emptyList_appendsNameAndReplies()
    {
        createEvent(QStringLiteral("E00012"));
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Ann Example\r\n"));
        expectOneReply(kRegistered,
                       "Your registration request to event E00012 has been recorded.  " + kSelected +
                           "\r\n\r\nEvent Information:\r\n" + QString::fromUtf8(kDescription),
                       QStringLiteral("Ann Example"));
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(1));
        QCOMPARE(m_rig->listener.repliesSent, QList<qint16>({1}));
        QCOMPARE(m_rig->mail.unreadCount(), 0);
    }

    void requests_keepTheAddressesBesideTheList()
    {
        // A list from before addresses were kept: Old has none.
        const OpenEvent event = createEvent(QStringLiteral("E00012"), "Old\r\n");
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
        // The same name from another address is the same person: nothing more is kept.
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"), QStringLiteral("ann@elsewhere.org"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Old\r\nAnn\r\nBob\r\n"));
        QCOMPARE(TestFolders::read(event.addressPath()),
                 QByteArray("Ann\tann@example.org\r\nBob\tbob@example.org\r\n"));
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Ann"), QStringLiteral("ann@elsewhere.org"));
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Old"), QStringLiteral("old@example.org"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Bob\r\n"));
        QCOMPARE(TestFolders::read(event.addressPath()), QByteArray("Bob\tbob@example.org\r\n"));
        QStringList subjects;
        for (const QByteArray& raw : newReplies())
            subjects << MimeReader::read(raw).subject;
        QCOMPARE(subjects, (QStringList{kRegistered, kRegistered, kDuplicate, kCancelled, kCancelled}));
    }

    void registration_nameAlreadyListed_isDuplicateAndFileUnchanged()
    {
        const QByteArray list = "Bob\nAnn Example\r\nCarl";
        createEvent(QStringLiteral("E00012"), list);
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), list);
        expectOneReply(kDuplicate,
                       "You have submitted a duplicate request for registration to event E00012.  " + kSelected,
                       QStringLiteral("Ann Example"));
    }

    void registration_twiceInOnePass_listsNameOnce()
    {
        createEvent(QStringLiteral("E00012"));
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        send(kRegister, QStringLiteral("E00012\r\n-- \r\nAnn"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Ann Example\r\n"));
        const QList<QByteArray> replies = newReplies();
        QCOMPARE(replies.size(), 2);
        QCOMPARE(MimeReader::read(replies.at(0)).subject, kRegistered);
        QCOMPARE(MimeReader::read(replies.at(1)).subject, kDuplicate);
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(2));
    }

    void registration_nameDiffersInCase_isAnotherPerson()
    {
        createEvent(QStringLiteral("E00012"), "ann example\r\n");
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("ann example\r\nAnn Example\r\n"));
    }

    void registration_nameOnlyPartOfALine_isNotADuplicate()
    {
        const QByteArray list = "Ann Example Jr\r\nMs Ann Example\nAnn Exampl\r\n";
        createEvent(QStringLiteral("E00012"), list);
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), list + "Ann Example\r\n");
        QCOMPARE(MimeReader::read(newReplies().value(0)).subject, kRegistered);
    }

    void registration_listWithoutFinalLineEnd_getsNameOnItsOwnLine()
    {
        createEvent(QStringLiteral("E00012"), "Bob");
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Bob\r\nAnn\r\n"));
    }

    // Cancellation
    void cancellation_notListed_leavesFileUnchanged()
    {
        const QByteArray list = "Bob\r\nCarl\r\n";
        createEvent(QStringLiteral("E00012"), list);
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), list);
        expectOneReply(kNotRegistered,
                       QStringLiteral("Your request to remove your name from event E00012 could not be processed.  "
                                      "You were not registered for this event."),
                       QStringLiteral("Ann Example"));
    }

    void cancellation_onlyLine_leavesEmptyFile()
    {
        const OpenEvent event = createEvent(QStringLiteral("E00012"), "Ann Example\r\n");
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Ann Example"));
        m_rig->run();
        QVERIFY(QFileInfo::exists(event.listPath()));
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray());
        expectOneReply(kCancelled,
                       "Your name has been removed from the sign-up list for event E00012.\r\nThank you.\r\n\r\nEvent "
                       "Information:\r\n" +
                           QString::fromUtf8(kDescription),
                       QStringLiteral("Ann Example"));
    }

    void cancellation_nameTwice_removesBothAndEndsEveryLine()
    {
        createEvent(QStringLiteral("E00012"), "Ann\r\nBob\nAnn\r\nann\rCarl");
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Bob\r\nann\r\nCarl\r\n"));
        QCOMPARE(newReplies().size(), 1);
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(1));
    }

    void cancellation_twoEvents_eachKeepsItsOwnLines()
    {
        createEvent(QStringLiteral("E00001"), "Ann\r\nBob\r\n");
        createEvent(QStringLiteral("E00002"), "Carl\r\nAnn\r\nDora\r\n");
        send(kCancel, QStringLiteral("E00001"), QStringLiteral("Ann"));
        send(kCancel, QStringLiteral("E00002"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00001")), QByteArray("Bob\r\n"));
        QCOMPARE(signUps(QStringLiteral("E00002")), QByteArray("Carl\r\nDora\r\n"));
    }

    // Attendee list
    void attendeeList_emptyList_hasFourLineEnds()
    {
        createEvent(QStringLiteral("E00012"));
        send(kAttendeeList, QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray());
        expectOneReply(kAttendees,
                       "Current sign-up list for E00012:\r\n\r\n\r\n\r\nEvent Information:\r\n" +
                           QString::fromUtf8(kDescription),
                       QStringLiteral("Ann"));
    }

    void attendeeList_listsEveryLineInOrder()
    {
        const QByteArray list = QStringLiteral("Müller, Zoë\r\nBob\nCarl").toUtf8();
        createEvent(QStringLiteral("E00012"), list);
        send(kAttendeeList, QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), list);
        expectOneReply(
            kAttendees,
            QStringLiteral("Current sign-up list for E00012:\r\n\r\nMüller, Zoë\r\nBob\r\nCarl\r\n\r\n\r\nEvent "
                           "Information:\r\n") +
                QString::fromUtf8(kDescription),
            QStringLiteral("Ann"));
    }

    // Several requests
    void threeRequests_repliesInMailboxOrder()
    {
        createEvent(QStringLiteral("E00012"), "Bob\r\n");
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
        send(kAttendeeList, QStringLiteral("E00012"), QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
        send(kCancel, QStringLiteral("E00012"), QStringLiteral("Bob"), QStringLiteral("bob@example.org"));
        m_rig->run();
        const QList<QByteArray> replies = newReplies();
        QCOMPARE(replies.size(), 3);
        QCOMPARE(MimeReader::read(replies.at(0)).subject, kRegistered);
        QCOMPARE(recipientOf(replies.at(0)).address, QStringLiteral("ann@example.org"));
        QCOMPARE(MimeReader::read(replies.at(1)).subject, kAttendees);
        QVERIFY(MimeReader::read(replies.at(1)).text.contains(QStringLiteral("\r\nBob\r\nAnn\r\n")));
        QCOMPARE(MimeReader::read(replies.at(2)).subject, kCancelled);
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Ann\r\n"));
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(3));
        QCOMPARE(m_rig->listener.repliesSent, QList<qint16>({1, 2, 3}));
    }

    void secondPass_doesNotAnswerAgain()
    {
        createEvent(QStringLiteral("E00012"));
        send(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(newReplies().size(), 1);
        m_rig->run();
        QVERIFY(newReplies().isEmpty());
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Ann\r\n"));
        QCOMPARE(m_rig->listener.statuses.size(), 4);
    }

    // Requests for no open event
    void noOpenEvent_repliesNotProcessedAndCreatesNoFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("event");
        QTest::newRow("closed event") << "E00007"
                                      << "E00007";
        QTest::newRow("never created") << "E00099"
                                       << "E00099";
        QTest::newRow("leading blank") << " E00012"
                                       << " E0001";
        QTest::newRow("short") << "E00"
                               << "E00";
        QTest::newRow("parent folder") << "../etc/passwd"
                                       << "../etc";
        QTest::newRow("separator") << "x/E0001"
                                   << "x/E000";
        QTest::newRow("control character") << "E0\t012" << QStringLiteral("E0\u2409012");
    }
    void noOpenEvent_repliesNotProcessedAndCreatesNoFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, event);
        createEvent(QStringLiteral("E00012"), "Bob\r\n");
        writeClosedEvent(m_rig->folders, QStringLiteral("E00007"), {QStringLiteral("Ann")}, {}, kDescription);
        const auto before = workingFiles();
        for (const QString& subject : {kRegister, kCancel, kAttendeeList})
            send(subject, text, QStringLiteral("Ann"));
        m_rig->run();
        QCOMPARE(workingFiles(), before);
        const QList<QByteArray> replies = newReplies();
        QCOMPARE(replies.size(), 3);
        for (const QByteArray& raw : replies) {
            const IncomingMail reply = MimeReader::read(raw);
            QCOMPARE(reply.subject, kNotProcessed);
            QCOMPARE(reply.text, asTransported("Your request for event " + event +
                                               " could not be processed.  There is no open event with this number."));
        }
        QCOMPARE(m_rig->pass().iRequestsProcessed(), qint16(3));
    }

    // Mails as real clients send them
    void realClients_registerTheirDisplayName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::newRow("desktop") << "desktop-plain.eml"
                                 << "Ann Example";
        QTest::newRow("quoted-printable") << "desktop-alternative-qp.eml" << QStringLiteral("Müller, Zoë");
        QTest::newRow("html only") << "html-only.eml"
                                   << "Dan Brown";
        QTest::newRow("LF only") << "lf-only.eml"
                                 << "Dave Stone";
        QTest::newRow("control characters") << "control-name.eml"
                                            << "Eve  In jected";
        QTest::newRow("empty name") << "empty-name.eml"
                                    << "frank@example.com";
    }
    void realClients_registerTheirDisplayName()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        createEvent(QStringLiteral("E00012"));
        m_rig->mail.deliver(sampleMail(file));
        m_rig->run();
        QCOMPARE(QString::fromUtf8(signUps(QStringLiteral("E00012"))), name + QStringLiteral("\r\n"));
        const QList<QByteArray> replies = newReplies();
        QCOMPARE(replies.size(), 1);
        QCOMPARE(recipientOf(replies.first()).name, name);
        QVERIFY(!headerOf(replies.first(), "In-Reply-To").isEmpty());
        QCOMPARE(headerOf(replies.first(), "Auto-Submitted"), QByteArray("auto-replied"));
    }

    void phoneCancellation_withSignature_removesName()
    {
        createEvent(QStringLiteral("E00012"), "Smith, Carol\r\nBob\r\n");
        m_rig->mail.deliver(sampleMail(QStringLiteral("phone-signature.eml")));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Bob\r\n"));
    }

    void unanswerableMails_arePassedOverAndMarkedRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("no sender") << "no-from.eml";
        QTest::newRow("auto reply") << "auto-reply.eml";
        QTest::newRow("delivery report") << "delivery-report.eml";
    }
    void unanswerableMails_arePassedOverAndMarkedRead()
    {
        QFETCH(QString, file);
        createEvent(QStringLiteral("E00012"));
        const auto before = workingFiles();
        m_rig->mail.deliver(sampleMail(file));
        m_rig->run();
        QCOMPARE(workingFiles(), before);
        QVERIFY(newReplies().isEmpty());
        QCOMPARE(m_rig->mail.unreadCount(), 0);
    }

    void hugeBody_isStillARequest()
    {
        createEvent(QStringLiteral("E00012"));
        QByteArray body = "E00012\r\n";
        const QByteArray line(998, 'x');
        while (body.size() < 3 * 1024 * 1024)
            body += line + "\r\n";
        m_rig->mail.deliver(requestMail(kRegister, QString::fromLatin1(body), QStringLiteral("Ann"),
                                        QStringLiteral("ann@example.org")));
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00012")), QByteArray("Ann\r\n"));
        QCOMPARE(newReplies().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPass)
#include "test_pass.moc"
