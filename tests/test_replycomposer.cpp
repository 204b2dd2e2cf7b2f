#include "attendant/RequestProtocol.h"
#include "mail/MessageIds.h"
#include "mail/MimeReader.h"
#include "mail/ReplyComposer.h"

#include "support/MailSamples.h"
#include "support/Subjects.h"

#include <QtTest>

using namespace Enrolix;
using Enrolix::Testing::headerOf;
using Enrolix::Testing::recipientOf;
using Enrolix::Testing::requestMail;
namespace Subjects = Enrolix::Testing::Subjects;
using Enrolix::Testing::sampleMail;

class TestReplyComposer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Headers and text
    void compose_reply_carriesHeadersAndTextInUtf8()
    {
        const IncomingMail request = MimeReader::read(sampleMail(QStringLiteral("desktop-alternative-qp.eml")));
        const QString text = QStringLiteral("Current sign-up list for E00012:\r\n\r\nMüller, Zoë\r\n\r\n\r\nEvent "
                                            "Information:\r\nSafety course\r\nMay 4\r\n");
        const QByteArray raw = ReplyComposer::compose({QStringLiteral("attendant@example.com"), request.senderAddress,
                                                       request.senderName, Subjects::kAttendees, text},
                                                      request);

        QVERIFY2(!raw.contains("\r\r"), raw.constData());
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
        QCOMPARE(headerOf(raw, "Auto-Submitted"), QByteArray("auto-replied"));
        QCOMPARE(headerOf(raw, "In-Reply-To"),
                 QByteArray("<AM0PR01MB1234ABCD@AM0PR01MB1234.eurprd01.prod.example.net>"));
        QCOMPARE(headerOf(raw, "References"),
                 QByteArray("<older@example.net> <AM0PR01MB1234ABCD@AM0PR01MB1234.eurprd01.prod.example.net>"));
        QVERIFY2(headerOf(raw, "To").toLower().contains("=?utf-8?"), headerOf(raw, "To").constData());
        QVERIFY(headerOf(raw, "Content-Type").toLower().contains("charset=utf-8"));
        QVERIFY(headerOf(raw, "Message-ID").endsWith("@example.com>"));
        QVERIFY(!headerOf(raw, "Date").isEmpty());

        const IncomingMail reply = MimeReader::read(raw);
        QCOMPARE(reply.senderAddress, QStringLiteral("attendant@example.com"));
        QCOMPARE(reply.subject, Subjects::kAttendees);
        QCOMPARE(reply.text, text);
        QCOMPARE(reply.automatic, true);
    }

    void compose_requestWithoutMessageId_hasNoThreadHeaders()
    {
        const QByteArray raw = ReplyComposer::compose({QStringLiteral("a@example.com"), QStringLiteral("b@example.com"),
                                                       QStringLiteral("B"), QStringLiteral("S"), QStringLiteral("T")},
                                                      IncomingMail{});
        QVERIFY(headerOf(raw, "In-Reply-To").isEmpty());
        QVERIFY(headerOf(raw, "References").isEmpty());
    }

    // What a stranger's request puts into its reply
    void compose_noSuchEventReply_echoesNumberWithoutControls_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("echoed");
        QTest::newRow("five characters, then the line end") << "number-line-end.eml" << QStringLiteral("E0001\u240D");
        QTest::newRow("ESC and BEL out of base64") << "number-broken-base64.eml" << QStringLiteral("E0\u241B\u240701");
    }
    void compose_noSuchEventReply_echoesNumberWithoutControls()
    {
        QFETCH(QString, file);
        QFETCH(QString, echoed);
        const IncomingMail request = MimeReader::read(sampleMail(file));
        const RequestProtocol::Reply reply = RequestProtocol::replyFor(RequestProtocol::Outcome::NoSuchEvent,
                                                                       RequestProtocol::eventNumberOf(request.text));
        const QByteArray raw = ReplyComposer::compose({QStringLiteral("attendant@example.com"), request.senderAddress,
                                                       request.senderName, reply.subject, reply.text},
                                                      request);
        // The message writer ends a body with a line end.
        QCOMPARE(MimeReader::read(raw).text,
                 "Your request for event " + echoed +
                     " could not be processed.  There is no open event with this number.\r\n");
    }

    void compose_loneLineEndsAndControls_becomeCrLfAndStandIns()
    {
        const QString text =
            QStringLiteral("a\rb\nc\r\nd\x1B") + QStringLiteral("e\tf") + QChar(0) + QStringLiteral("g\r");
        const QByteArray raw = ReplyComposer::compose({QStringLiteral("a@example.com"), QStringLiteral("b@example.com"),
                                                       QStringLiteral("B"), QStringLiteral("S"), text},
                                                      IncomingMail{});
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
        QCOMPARE(raw.count('\r'), raw.count("\r\n"));
        QCOMPARE(MimeReader::read(raw).text, QStringLiteral("a\r\nb\r\nc\r\nd\u241Be\tf\u2400g\r\n"));
    }

    void compose_nameLikeEncodedWord_decodesToExactlyThatName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("from a request")
            << MimeReader::read(sampleMail(QStringLiteral("encoded-word-name.eml"))).senderName;
        QTest::newRow("word inside the name") << "Ann =?UTF-8?B?QmNj?= Smith";
        QTest::newRow("quoted word") << "\"=?UTF-8?Q?Ann?=\"";
        QTest::newRow("long, with umlauts at the word ends") << QStringLiteral("=?") + QString(60, QChar(0xFC));
    }
    void compose_nameLikeEncodedWord_decodesToExactlyThatName()
    {
        QFETCH(QString, name);
        QVERIFY(name.contains(QLatin1String("=?")));
        const QByteArray raw =
            ReplyComposer::compose({QStringLiteral("attendant@example.com"), QStringLiteral("ann@example.org"), name,
                                    Subjects::kNotProcessed, QStringLiteral("T")},
                                   IncomingMail{});
        const QByteArray to = headerOf(raw, "To");
        QVERIFY2(to.startsWith("=?UTF-8?Q?") && to.endsWith(" <ann@example.org>"), to.constData());
        QVERIFY2(!to.contains(name.toUtf8()), to.constData());
        QCOMPARE(recipientOf(raw).name, name);
        QCOMPARE(recipientOf(raw).address, QStringLiteral("ann@example.org"));
    }

    // Message ids echoed into a reply's thread headers
    void isSaneMessageId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("sane");
        QTest::newRow("plain") << "AM0PR01MB1234@eurprd01.prod.example.net" << true;
        QTest::newRow("domain literal") << "1234.5678@[192.0.2.1]" << true;
        QTest::newRow("longest") << QString(MessageIds::kMaxLength - 12, QLatin1Char('a')) + "@example.com" << true;
        QTest::newRow("one too long") << QString(MessageIds::kMaxLength - 11, QLatin1Char('a')) + "@example.com"
                                      << false;
        QTest::newRow("no at") << "1234.example.net" << false;
        QTest::newRow("nothing after at") << "1234@" << false;
        QTest::newRow("two at") << "a@b@example.net" << false;
        QTest::newRow("blank") << "12 34@example.net" << false;
        QTest::newRow("angle bracket") << "1234@example.net><script" << false;
        QTest::newRow("line break") << "1234@example.net\r\nBcc: eve@example.com" << false;
    }
    void isSaneMessageId()
    {
        QFETCH(QString, id);
        QFETCH(bool, sane);
        QCOMPARE(MessageIds::isSane(id), sane);
    }

    void compose_hostileThread_keepsHeaderLinesShort_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("inReplyTo");
        QTest::addColumn<QByteArray>("references");
        QTest::newRow("2,000-character Message-ID")
            << sampleMail(QStringLiteral("long-message-id.eml")) << QByteArray() << QByteArray();
        QTest::newRow("1 MB Message-ID") << requestMail(Subjects::kRegister, QStringLiteral("E00012"),
                                                        QStringLiteral("Ann"), QStringLiteral("ann@example.org"),
                                                        QString(1024 * 1024, QLatin1Char('x')) +
                                                            QStringLiteral("@example.net"))
                                         << QByteArray() << QByteArray();
        QByteArray lastOfThread;
        for (int i = 23; i <= 30; ++i)
            lastOfThread += "<thread" + QByteArray::number(i) + "@example.com> ";
        QTest::newRow("long thread with a long and a broken id")
            << sampleMail(QStringLiteral("long-thread.eml")) << QByteArray("<long-thread@example.com>")
            << "<thread01@example.com> " + lastOfThread + "<long-thread@example.com>";
    }
    void compose_hostileThread_keepsHeaderLinesShort()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, inReplyTo);
        QFETCH(QByteArray, references);
        const IncomingMail request = MimeReader::read(raw);
        const QByteArray reply =
            ReplyComposer::compose({QStringLiteral("attendant@example.com"), request.senderAddress, request.senderName,
                                    Subjects::kNotProcessed, QStringLiteral("T")},
                                   request);
        // At most 998 octets before the CR LF.
        for (const QByteArray& line : reply.split('\n'))
            QVERIFY2(line.size() <= 998 + qsizetype(line.endsWith('\r')), line.left(80).constData());
        QCOMPARE(headerOf(reply, "In-Reply-To"), inReplyTo);
        QCOMPARE(headerOf(reply, "References"), references);
    }
};

QTEST_GUILESS_MAIN(TestReplyComposer)
#include "test_replycomposer.moc"
