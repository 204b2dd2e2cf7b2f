#include "attendant/RequestProtocol.h"
#include "mail/HtmlText.h"
#include "mail/MimeReader.h"

#include "support/MailSamples.h"
#include "support/Subjects.h"

#include <QtTest>

using namespace Enrolix;
using Enrolix::Testing::htmlAfterNumber;
using Enrolix::Testing::htmlRequestMail;
using Enrolix::Testing::requestMail;
using Enrolix::Testing::sampleMail;
namespace Subjects = Enrolix::Testing::Subjects;

Q_DECLARE_METATYPE(Enrolix::RequestProtocol::RequestKind)

class TestMime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Reading the mails that real clients send from the page's links
    void read_realClientMails_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("automatic");
        const QString reg = Subjects::kRegister;
        const QString list = Subjects::kAttendeeList;
        QTest::newRow("desktop plain") << "desktop-plain.eml"
                                       << "Ann Example"
                                       << "ann@example.org" << reg << "E00012\r\n"
                                       << false;
        QTest::newRow("quoted-printable alternative")
            << "desktop-alternative-qp.eml" << QStringLiteral("Müller, Zoë") << "zoe.mueller@example.de" << reg
            << QStringLiteral("E00012\r\n\r\nMit freundlichen Grüßen\r\nZoë\r\n") << false;
        QTest::newRow("base64 alternative") << "web-alternative-base64.eml"
                                            << "Bob Jones"
                                            << "bob.jones@example.com" << list << "E00012\r\n"
                                            << false;
        QTest::newRow("phone with signature")
            << "phone-signature.eml"
            << "Smith, Carol"
            << "carol.smith@example.com" << Subjects::kCancel
            << "E00012\r\n-- \r\nCarol Smith\r\nExt. 4411\r\n\r\nSent from my phone\r\n"
            << false;
        QTest::newRow("html only") << "html-only.eml"
                                   << "Dan Brown"
                                   << "dan@example.net" << reg << QStringLiteral("E00012\r\n\r\nCafé & more") << false;
        QTest::newRow("LF line ends") << "lf-only.eml"
                                      << "Dave Stone"
                                      << "dave@example.com" << reg << "E00012\n"
                                      << false;
        QTest::newRow("encoded subject, Latin-1")
            << "encoded-subject.eml" << QStringLiteral("Jörg Müller") << "joerg@example.de" << list
            << QStringLiteral("E00012\r\n\r\nGrüße\r\n") << false;
        QTest::newRow("reply prefix kept") << "reply-prefix.eml"
                                           << "Gina Hall"
                                           << "gina@example.com"
                                           << "RE: " + reg << "E00012\r\n"
                                           << false;
    }
    void read_realClientMails()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, text);
        QFETCH(bool, automatic);
        const QByteArray raw = sampleMail(file);
        QVERIFY2(!raw.isEmpty(), qPrintable(file));
        const IncomingMail mail = MimeReader::read(raw);
        QCOMPARE(mail.senderName, name);
        QCOMPARE(mail.senderAddress, address);
        QCOMPARE(mail.subject, subject);
        QCOMPARE(mail.text, text);
        QCOMPARE(mail.automatic, automatic);
        QVERIFY(!mail.messageId.isEmpty());
    }

    // The subject exactly as sent
    void read_subject_isExactlyWhatTheMailCarries_data()
    {
        using RequestProtocol::RequestKind;
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<RequestKind>("kind");
        const QString reg = Subjects::kRegister;
        QTest::newRow("trailing blank") << "subject-trailing-blank.eml" << reg + " " << RequestKind::None;
        QTest::newRow("encoded trailing blank")
            << "subject-encoded-trailing-blank.eml" << reg + " " << RequestKind::None;
        QTest::newRow("NUL, then more text")
            << "subject-nul.eml" << reg + QChar(QChar::ReplacementCharacter) << RequestKind::None;
        QTest::newRow("two blanks after the colon") << "subject-two-blanks.eml"
                                                    << " " + reg << RequestKind::None;
        QTest::newRow("no blank after the colon") << "subject-no-blank.eml" << reg << RequestKind::Registration;
        QTest::newRow("folded before the blanks") << "subject-folded.eml" << reg << RequestKind::Registration;
    }
    void read_subject_isExactlyWhatTheMailCarries()
    {
        QFETCH(QString, file);
        QFETCH(QString, subject);
        QFETCH(RequestProtocol::RequestKind, kind);
        const IncomingMail mail = MimeReader::read(sampleMail(file));
        QCOMPARE(mail.subject, subject);
        QCOMPARE(RequestProtocol::classify(mail.subject), kind);
        QCOMPARE(mail.text, QStringLiteral("E00012\r\n"));
    }

    // Hostile and machine-made mails
    void read_hostileMails_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("automatic");
        QTest::newRow("no From") << "no-from.eml"
                                 << ""
                                 << "" << false;
        QTest::newRow("control characters in name") << "control-name.eml"
                                                    << "Eve  In jected"
                                                    << "eve@example.com" << false;
        QTest::newRow("empty name") << "empty-name.eml"
                                    << "frank@example.com"
                                    << "frank@example.com" << false;
        QTest::newRow("auto reply") << "auto-reply.eml"
                                    << "Out Of Office"
                                    << "ann@example.org" << true;
        QTest::newRow("2,000-character address") << "long-address.eml"
                                                 << "Leo Park"
                                                 << "" << false;
        QTest::newRow("delivery report") << "delivery-report.eml"
                                         << "Mail Delivery System"
                                         << "MAILER-DAEMON@example.com" << true;
    }
    void read_hostileMails()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(bool, automatic);
        const IncomingMail mail = MimeReader::read(sampleMail(file));
        QCOMPARE(mail.senderName, name);
        QCOMPARE(mail.senderAddress, address);
        QCOMPARE(mail.automatic, automatic);
    }

    void read_autoSubmittedNo_isAPersonsMail()
    {
        QByteArray raw = sampleMail(QStringLiteral("auto-reply.eml"));
        raw.replace("Auto-Submitted: auto-replied", "Auto-Submitted: No");
        QCOMPARE(MimeReader::read(raw).automatic, false);
    }

    void read_garbage_yieldsEmptyMail()
    {
        const IncomingMail mail = MimeReader::read(QByteArray("\x01\x02 not a message at all"));
        QVERIFY(mail.senderAddress.isEmpty());
        QVERIFY(mail.subject.isEmpty());
    }

    void isUsableAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << "ann@example.org" << true;
        QTest::newRow("no at") << "ann.example.org" << false;
        QTest::newRow("nothing before at") << "@example.org" << false;
        QTest::newRow("nothing after at") << "ann@" << false;
        QTest::newRow("blank") << "ann smith@example.org" << false;
        QTest::newRow("line break") << "ann@example.org\r\nRCPT TO:<x@y>" << false;
        QTest::newRow("angle bracket") << "ann@example.org>" << false;
        const QString local64 = QString(64, QLatin1Char('a'));
        const QString domain = QStringLiteral("@") + QString(181, QLatin1Char('b')) + QStringLiteral(".example");
        QTest::newRow("254 octets") << local64 + domain << true;
        QTest::newRow("255 octets") << local64 + QLatin1Char('c') + domain << false;
        QTest::newRow("local part of 65") << QString(65, QLatin1Char('a')) + "@example.org" << false;
        QTest::newRow("255 octets of UTF-8") << QString(63, QLatin1Char('a')) + QStringLiteral("ä") + domain << false;
    }
    void isUsableAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, usable);
        QCOMPARE(MimeReader::isUsableAddress(address), usable);
    }

    // HTML-only mails
    void htmlToPlainText_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("div") << "<div dir=\"ltr\">E00012</div>"
                             << "E00012";
        QTest::newRow("head dropped") << "<html><head><title>x</title><style>p{}</style></head><body>\n  <p>E00012</p>"
                                      << "E00012";
        QTest::newRow("br") << "E00012<br>Ann<br/>Smith"
                            << "E00012\r\nAnn\r\nSmith";
        QTest::newRow("entities") << "A &amp; B &lt;x&gt; &#233;&#x41;" << QStringLiteral("A & B <x> éA");
        QTest::newRow("comment and script") << "<!-- E99999 --><script>var a = '<p>';</script>E00012"
                                            << "E00012";
        QTest::newRow("blank runs folded") << "<p>  E00012 \n  more   text </p>"
                                           << "E00012 more text";
        QTest::newRow("charset in meta ignored")
            << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"><p>Café</p>")
            << QStringLiteral("Café");
        QTest::newRow("paragraphs keep an empty line") << "<p>E00012</p><p>Ann</p>"
                                                       << "E00012\r\n\r\nAnn";
    }
    void htmlToPlainText()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(HtmlText::toPlainText(html), text);
    }

    void read_unclosedMarkup_keepsTextAroundIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed script") << "html-unclosed-script.eml"
                                         << "E00012";
        QTest::newRow("unclosed style") << "html-unclosed-style.eml"
                                        << "E00012";
        QTest::newRow("angle brackets never closed") << "html-open-brackets.eml"
                                                     << "E00012\r\n\r\n1 < 2 <<<< 3 < <<<<<<<<<<<<<<<<<<<<";
    }
    void read_unclosedMarkup_keepsTextAroundIt()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QCOMPARE(MimeReader::read(sampleMail(file)).text, text);
    }

    void read_unclosedMarkupOf2MB_findsEventNumber_data()
    {
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("script tags never closed") << QByteArray("<script") << "E00012";
        QTest::newRow("style tags never closed") << QByteArray("<style") << "E00012";
        QTest::newRow("one script never ended") << QByteArray("<script>") << "E00012";
        QTest::newRow("comment never ended") << QByteArray("<!--") << "E00012";
        QTest::newRow("angle brackets") << QByteArray("<")
                                        << "E00012\r\n" + QString(IncomingMail::kTextLimit - 8, QLatin1Char('<'));
    }
    void read_unclosedMarkupOf2MB_findsEventNumber()
    {
        QFETCH(QByteArray, unit);
        QFETCH(QString, text);
        const IncomingMail mail = MimeReader::read(htmlRequestMail(htmlAfterNumber(unit, 2 * 1024 * 1024)));
        QCOMPARE(RequestProtocol::eventNumberOf(mail.text), QStringLiteral("E00012"));
        QCOMPARE(mail.text, text);
    }

    // Long mails: only a prefix of the text is kept
    void read_longText_keepsPrefix_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("start");
        const QString many = QString(1024 * 1024, QLatin1Char('x'));
        QTest::newRow("plain text") << requestMail(Subjects::kRegister, QStringLiteral("E00012\r\n") + many,
                                                   QStringLiteral("Ann"), QStringLiteral("ann@example.org"))
                                    << "E00012\r\nxxxx";
        QTest::newRow("html") << htmlRequestMail(htmlAfterNumber("<p>Row of text</p>", 1024 * 1024))
                              << "E00012\r\n\r\nRow of text\r\n\r\nRow of text\r\n";
    }
    void read_longText_keepsPrefix()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, start);
        const IncomingMail mail = MimeReader::read(raw);
        QVERIFY2(mail.text.startsWith(start), qPrintable(mail.text.left(40)));
        QCOMPARE(mail.text.size(), IncomingMail::kTextLimit);
    }
};

QTEST_GUILESS_MAIN(TestMime)
#include "test_mime.moc"
