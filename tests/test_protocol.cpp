#include "attendant/RequestProtocol.h"

#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::RequestProtocol;

Q_DECLARE_METATYPE(Enrolix::RequestProtocol::RequestKind)
Q_DECLARE_METATYPE(Enrolix::RequestProtocol::Outcome)

class TestProtocol : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classify_isExactAndCaseSignificant_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<RequestKind>("kind");
        QTest::newRow("register") << "Register for Event   (Enrolix)" << RequestKind::Registration;
        QTest::newRow("list") << "Request Attendee List   (Enrolix)" << RequestKind::AttendeeList;
        QTest::newRow("cancel") << "Cancel Event Registration   (Enrolix)" << RequestKind::Cancellation;
        QTest::newRow("reply prefix") << "RE: Register for Event   (Enrolix)" << RequestKind::None;
        QTest::newRow("two blanks") << "Register for Event  (Enrolix)" << RequestKind::None;
        QTest::newRow("lower case") << "register for Event   (Enrolix)" << RequestKind::None;
        QTest::newRow("trailing blank") << "Register for Event   (Enrolix) " << RequestKind::None;
        QTest::newRow("empty") << "" << RequestKind::None;
    }
    void classify_isExactAndCaseSignificant()
    {
        QFETCH(QString, subject);
        QFETCH(RequestKind, kind);
        QCOMPARE(classify(subject), kind);
    }

    void eventNumberOf_takesFirstSixCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("event");
        QTest::newRow("number only") << "E00012"
                                     << "E00012";
        QTest::newRow("signature") << "E00012\r\n-- \r\nAnn"
                                   << "E00012";
        QTest::newRow("leading blank") << " E00012"
                                       << " E0001";
        QTest::newRow("short") << "E00"
                               << "E00";
        QTest::newRow("empty") << ""
                               << "";
    }
    void eventNumberOf_takesFirstSixCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, event);
        QCOMPARE(eventNumberOf(text), event);
    }

    void replyFor_matchesEveryCharacter_data()
    {
        const QString d = QStringLiteral("Safety course\r\nMay 4\r\n");
        const QString selected =
            QStringLiteral("If you are selected, an invitation for this course will be sent to you "
                           "via E-mail after the closure of the sign-up period.");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("attendees");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");
        QTest::newRow("registered") << Outcome::Registered << QString() << "Registration Request Processed"
                                    << "Your registration request to event E00012 has been recorded.  " + selected +
                                           "\r\n\r\nEvent Information:\r\n" + d;
        QTest::newRow("duplicate") << Outcome::Duplicate << QString() << "Duplicate Registration Request"
                                   << "You have submitted a duplicate request for registration to event E00012.  " +
                                          selected;
        QTest::newRow("cancelled") << Outcome::Cancelled << QString() << "Cancellation Request Processed"
                                   << "Your name has been removed from the sign-up list for event E00012.\r\nThank "
                                      "you.\r\n\r\nEvent Information:\r\n" +
                                          d;
        QTest::newRow("not registered")
            << Outcome::NotRegistered << QString() << "Cancellation Request Not Processed"
            << "Your request to remove your name from event E00012 could not be processed.  You were not registered "
               "for this event.";
        QTest::newRow("list")
            << Outcome::AttendeeList << "Ann\r\nBob\r\n"
            << "Request for Attendees"
            << "Current sign-up list for E00012:\r\n\r\nAnn\r\nBob\r\n\r\n\r\nEvent Information:\r\n" + d;
        QTest::newRow("empty list") << Outcome::AttendeeList << QString() << "Request for Attendees"
                                    << "Current sign-up list for E00012:\r\n\r\n\r\n\r\nEvent Information:\r\n" + d;
        QTest::newRow("no such event") << Outcome::NoSuchEvent << QString() << "Request Not Processed"
                                       << "Your request for event E00012 could not be processed.  There is no open "
                                          "event with this number.";
    }
    void replyFor_matchesEveryCharacter()
    {
        QFETCH(Outcome, outcome);
        QFETCH(QString, attendees);
        QFETCH(QString, subject);
        QFETCH(QString, text);
        const Reply reply =
            replyFor(outcome, QStringLiteral("E00012"), QStringLiteral("Safety course\r\nMay 4\r\n"), attendees);
        QCOMPARE(reply.subject, subject);
        QCOMPARE(reply.text, text);
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "test_protocol.moc"
