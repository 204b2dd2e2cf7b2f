// The IMAP code against transcripts of real Dovecot sessions (tests/data/imap, recorded with
// tests/tools/record_imap_transcripts), with no server: the answers as the server sent them,
// unsolicited responses and literals among them, and the requests a session makes.
#include "mail/ImapAnswers.h"
#include "mail/ImapInbox.h"
#include "mail/InFlightJournal.h"
#include "mail/MailProfile.h"
#include "mail/MimeReader.h"
#include "support/TestFolders.h"
#include "support/Transcript.h"

#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

QList<Exchange> transcript(const QString& name)
{
    return Transcript::read(qEnvironmentVariable("ENROLIX_TEST_DATA") + QStringLiteral("/imap/") + name +
                            QStringLiteral(".transcript"));
}

MailProfile profile()
{
    MailProfile profile;
    profile.inbox = QStringLiteral("imap://127.0.0.1:143/INBOX");
    profile.user = QStringLiteral("ann");
    return profile;
}

QStringList stringsOf(const QList<qulonglong>& numbers)
{
    QStringList strings;
    for (const qulonglong number : numbers)
        strings << QString::number(number);
    return strings;
}

} // namespace

class TestImapTranscripts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the server's answers say
    void searchResults_fromRecordedAnswers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exchange");
        QTest::addColumn<QStringList>("uids");
        QTest::newRow("three unread") << "session" << 1 << QStringList{"1", "2", "3"};
        // The mail added meanwhile is announced after the results and is not among them.
        QTest::newRow("unsolicited FETCH and EXISTS") << "unsolicited" << 1 << QStringList{"1", "2"};
        QTest::newRow("a literal that reads like a SEARCH") << "literal" << 0 << QStringList{};
        QTest::newRow("after the literal") << "literal" << 1 << QStringList{"1"};
    }
    void searchResults_fromRecordedAnswers()
    {
        QFETCH(QString, name);
        QFETCH(int, exchange);
        QFETCH(QStringList, uids);
        const QList<Exchange> exchanges = transcript(name);
        QVERIFY(exchange < exchanges.size());
        QCOMPARE(stringsOf(ImapAnswers::searchResults(exchanges.at(exchange).headers)), uids);
    }

    void untagged_keepsALiteralInsideItsResponse()
    {
        const QList<Exchange> exchanges = transcript(QStringLiteral("literal"));
        QVERIFY(!exchanges.isEmpty());
        const QList<QByteArray> responses = ImapAnswers::untagged(exchanges.first().headers);
        QVERIFY(responses.contains(QByteArray("1 FETCH (UID 1 BODY[TEXT] {47}\r\n* SEARCH 4242\r\n"
                                              "A007 OK Search completed\r\nE00001)")));
        for (const QByteArray& response : responses)
            QVERIFY2(!response.startsWith("SEARCH"), response.constData());
    }

    void uidValidity_isReadFromTheSelectAnswers()
    {
        const QList<Exchange> exchanges = transcript(QStringLiteral("session"));
        QVERIFY(!exchanges.isEmpty());
        QCOMPARE(ImapAnswers::uidValidity(exchanges.first().headers), std::optional<qulonglong>(1796653938));
        // A text that only mentions the code, outside an OK response, gives none.
        QCOMPARE(ImapAnswers::uidValidity("* 1 FETCH (BODY[] {19}\r\n[UIDVALIDITY 7] x)\r\n"), std::nullopt);
    }

    // What a session asks the server
    void session_marksReadWithoutACommand_andLeavesUnreadInOne()
    {
        TestFolders folders;
        auto scripted = std::make_unique<ScriptedTransport>(transcript(QStringLiteral("session")));
        ScriptedTransport& server = *scripted;
        ImapInbox inbox(profile(), std::move(scripted));
        QVERIFY(inbox.open());
        const std::optional<QStringList> ids = inbox.unread();
        QCOMPARE(ids, std::optional<QStringList>(QStringList{"1", "2", "3"}));
        const std::optional<QByteArray> first = inbox.fetch(QStringLiteral("1"));
        QVERIFY(first);
        QCOMPARE(MimeReader::read(*first).senderName, QStringLiteral("Person 1"));
        QVERIFY(inbox.markRead(QStringLiteral("1")));
        QVERIFY(inbox.fetch(QStringLiteral("2")));
        inbox.leaveUnread(QStringLiteral("2"));
        inbox.close();
        QVERIFY2(server.mismatches.isEmpty(), qPrintable(server.mismatches.join(QLatin1Char('\n'))));
        QCOMPARE(server.left(), 0);
        QCOMPARE(server.requests, (QStringList{"/INBOX NOOP", "/INBOX UID SEARCH UNSEEN", "/INBOX;UID=1",
                                               "/INBOX;UID=2", "/INBOX UID STORE 2 -FLAGS.SILENT (\\Seen)"}));
        QVERIFY(InFlightJournal(QString::fromUtf8(ImapInbox::canonicalFolder(profile().inbox)), profile().user)
                    .pending()
                    .isEmpty());
    }

    void signOn_afterADeadSession_makesItsMailsUnreadInOneCommand()
    {
        TestFolders folders;
        InFlightJournal journal(QString::fromUtf8(ImapInbox::canonicalFolder(profile().inbox)), profile().user);
        // Two mails of this folder, and one of the folder's earlier life, which is dropped unasked.
        QVERIFY(journal.add({QStringLiteral("1796653939:1"), QStringLiteral("1796653939:2"), QStringLiteral("1:7")}));
        auto scripted = std::make_unique<ScriptedTransport>(transcript(QStringLiteral("restore")));
        ScriptedTransport& server = *scripted;
        ImapInbox inbox(profile(), std::move(scripted));
        QVERIFY(inbox.open());
        QVERIFY2(server.mismatches.isEmpty(), qPrintable(server.mismatches.join(QLatin1Char('\n'))));
        QCOMPARE(server.left(), 0);
        QVERIFY(journal.pending().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestImapTranscripts)
#include "test_imap_transcripts.moc"
