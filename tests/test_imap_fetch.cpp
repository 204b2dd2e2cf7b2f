// The answer to a UID FETCH of several messages, read from the lines the transport received: every
// message whole and in step with the server, or trusted only up to where it can be.
#include "mail/ImapFetchAnswer.h"
#include "mail/MailTransport.h"

#include <QtTest>

using namespace Enrolix;

namespace {

// The partial fetch's size in these cases.
constexpr qsizetype kLongest = 64;

QByteArray fetched(qulonglong sequence, qulonglong uid, const QByteArray& message, const QByteArray& before = {})
{
    return "* " + QByteArray::number(sequence) + " FETCH (" + before + "UID " + QByteArray::number(uid) +
           " BODY[]<0> {" + QByteArray::number(message.size()) + "}\r\n" + message + ")\r\n";
}

const QByteArray kDone = "A005 OK Fetch completed (0.001 + 0.000 secs).\r\n";
const QByteArray kAnn = "From: Ann <ann@example.org>\r\nSubject: S\r\n\r\nE00001\r\n";
const QByteArray kBob = "From: Bob <bob@example.org>\r\n\r\nE00002\r\n";

} // namespace

class TestImapFetch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_answer_givesWhatCanBeTrusted_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<qulonglong>>("whole");
        QTest::addColumn<bool>("inStep");
        const QByteArray both = fetched(1, 11, kAnn) + fetched(2, 12, kBob);
        QTest::newRow("two messages") << both + kDone << QList<qulonglong>{11, 12} << true;
        QTest::newRow("after the sign-on and the selection of a new connection")
            << "* OK [CAPABILITY IMAP4rev1] ready.\r\nA001 OK Logged in\r\n* 2 EXISTS\r\n* OK [UIDNEXT 13] next\r\n"
               "A002 OK [READ-WRITE] Select completed\r\n" +
                   both + kDone
            << QList<qulonglong>{11, 12} << true;
        QTest::newRow("flags set by the fetch, items in any order")
            << fetched(1, 11, kAnn, "FLAGS (\\Seen) ") +
                   "* 2 FETCH (BODY[]<0> {5}\r\nE0002 UID 12 FLAGS (\\Seen))\r\n" + kDone
            << QList<qulonglong>{11, 12} << true;
        QTest::newRow("news of other mails meanwhile")
            << fetched(1, 11, kAnn) + "* 7 FETCH (UID 17 FLAGS (\\Seen))\r\n* 8 EXISTS\r\n* 3 EXPUNGE\r\n" + kDone
            << QList<qulonglong>{11} << true;
        QTest::newRow("a message that reads like responses")
            << fetched(1, 11, "* 2 FETCH (UID 12 BODY[]<0> {3}\r\nabc)\r\nA005 OK Fetch\r\n") + kDone
            << QList<qulonglong>{11} << true;
        QTest::newRow("answer ended early by a message line like the completion")
            << fetched(1, 11, kAnn) + "* 2 FETCH (UID 12 BODY[]<0> {40}\r\nFrom: x\r\n\r\nA005 OK Fetch completed\r\n"
            << QList<qulonglong>{11} << false;
        QTest::newRow("message as long as the partial fetch, maybe longer")
            << fetched(1, 11, QByteArray(kLongest, 'x')) + fetched(2, 12, kBob) + kDone << QList<qulonglong>{12}
            << true;
        QTest::newRow("literal longer than asked")
            << fetched(1, 11, kAnn) + fetched(2, 12, QByteArray(kLongest + 1, 'x')) + fetched(3, 13, kBob) + kDone
            << QList<qulonglong>{11} << false;
        QTest::newRow("a uid not asked") << fetched(1, 11, kAnn) + fetched(2, 99, kBob) + fetched(3, 13, kBob) + kDone
                                         << QList<qulonglong>{11} << false;
        QTest::newRow("a uid answered twice")
            << fetched(1, 11, kAnn) + fetched(2, 11, kBob) + kDone << QList<qulonglong>{11} << false;
        QTest::newRow("a message without its uid")
            << "* 1 FETCH (BODY[]<0> {3}\r\nabc)\r\n" + both + kDone << QList<qulonglong>{} << false;
        QTest::newRow("no message") << "* 1 FETCH (UID 11 BODY[]<0> NIL)\r\n" + fetched(2, 12, kBob) + kDone
                                    << QList<qulonglong>{12} << true;
        QTest::newRow("a line the transport may have cut")
            << fetched(1, 11, kAnn) + "* OK " + QByteArray(MailTransport::kWholeAnswerLine, 'x') + "\r\n" +
                   fetched(2, 12, kBob) + kDone
            << QList<qulonglong>{11} << false;
        QTest::newRow("no completion") << both << QList<qulonglong>{11, 12} << false;
        QTest::newRow("refused") << fetched(1, 11, kAnn) + "A005 NO Some messages could not be fetched\r\n"
                                 << QList<qulonglong>{11} << false;
        QTest::newRow("not IMAP") << fetched(1, 11, kAnn) + "* 2 FETCH (UID 12 BODY[]<0> {x}\r\n" + kDone
                                  << QList<qulonglong>{11} << false;
    }
    void read_answer_givesWhatCanBeTrusted()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<qulonglong>, whole);
        QFETCH(bool, inStep);
        const ImapFetchAnswer::Messages messages = ImapFetchAnswer::read(text, {11, 12, 13}, kLongest);
        QList<qulonglong> uids = messages.whole.keys();
        std::sort(uids.begin(), uids.end());
        QCOMPARE(uids, whole);
        QCOMPARE(messages.inStep, inStep);
        if (messages.whole.contains(11) && text.contains(kAnn))
            QCOMPARE(messages.whole.value(11), kAnn);
        if (messages.whole.contains(12) && text.contains(kBob))
            QCOMPARE(messages.whole.value(12), kBob);
    }
};

QTEST_GUILESS_MAIN(TestImapFetch)
#include "test_imap_fetch.moc"
