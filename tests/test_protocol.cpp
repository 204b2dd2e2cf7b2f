#include "attendant/RequestProtocol.h"
#include "support/Subjects.h"

#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::RequestProtocol;

Q_DECLARE_METATYPE(Enrolix::RequestProtocol::RequestKind)

class TestProtocol : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classify_isExactAndCaseSignificant_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<RequestKind>("kind");
        using namespace Testing::Subjects;
        QTest::newRow("register") << kRegister << RequestKind::Registration;
        QTest::newRow("list") << kAttendeeList << RequestKind::AttendeeList;
        QTest::newRow("cancel") << kCancel << RequestKind::Cancellation;
        QTest::newRow("reply prefix") << "RE: " + kRegister << RequestKind::None;
        QTest::newRow("two blanks") << QString(kRegister).replace(QStringLiteral("   "), QStringLiteral("  "))
                                    << RequestKind::None;
        QTest::newRow("lower case") << QString(kRegister).replace(0, 1, QLatin1Char('r')) << RequestKind::None;
        QTest::newRow("trailing blank") << kRegister + " " << RequestKind::None;
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
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "test_protocol.moc"
