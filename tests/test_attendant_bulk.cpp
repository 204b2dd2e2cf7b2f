// enrolix-attendant --once over 20,000 unread requests in one Dovecot mailbox, as after a weekend
// off for a popular event: people register, cancel and register again for two events, their
// requests interleaved, so that any mail handled out of mailbox order changes a list. Every
// list, line by line, and every reply, matched to its request, must be what a sequential model
// of the requests says.
#include "mail/MimeReader.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"
#include "support/SignUpModel.h"

#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

using Kind = SignUpModel::Kind;

constexpr int kRequests = 20000;
constexpr int kPeople = 1500;
const QStringList kEvents{QStringLiteral("E00001"), QStringLiteral("E00002")};

struct PlannedRequest
{
    Kind kind{Kind::Register};
    QString event;
    int person{0};
};

QString nameOf(int person)
{
    return QStringLiteral("Person %1").arg(person, 4, 10, QLatin1Char('0'));
}

QByteArray messageIdOf(int index)
{
    return "<bulk" + QByteArray::number(index) + "@example.org>";
}

// The same requests every run: mostly registrations and cancellations, a few list requests.
QList<PlannedRequest> requests()
{
    QRandomGenerator random(20000);
    QList<PlannedRequest> all;
    for (int i = 0; i < kRequests; ++i) {
        const quint32 roll = random.bounded(100);
        const Kind kind = roll < 52 ? Kind::Register : roll < 99 ? Kind::Cancel : Kind::AttendeeList;
        all.append({kind, kEvents.at(int(random.bounded(2))), int(random.bounded(kPeople))});
    }
    return all;
}

} // namespace

class TestAttendantBulk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void once_twentyThousandRequests_handlesThemAllInMailboxOrder()
    {
        TestFolders folders;
        ServerBackend mail(folders.root());
        QVERIFY2(mail.problem().isEmpty(), qPrintable(mail.problem()));
        const auto discard = qScopeGuard([&mail] { mail.discardMail(); });
        PassRig::writeSettingsFile(folders, mail);
        // The same few people send many requests here: no limit on the replies to one sender.
        IniSettingsStore().write(SettingsKeys::kAttendant, SettingsKeys::kMaxRepliesPerSender, QStringLiteral("0"));
        SignUpModel model;
        for (const QString& event : kEvents) {
            OpenEvent::create(folders, event);
            model.openEvent(event);
        }

        // What each request's reply must say, and the list a list request must show.
        const QList<PlannedRequest> all = requests();
        QList<QByteArray> mails;
        QStringList subjects;
        QHash<int, QByteArray> shownLists;
        for (int i = 0; i < all.size(); ++i) {
            const PlannedRequest& request = all.at(i);
            mails.append(requestMail(SignUpModel::subjectOf(request.kind), request.event, nameOf(request.person),
                                     QStringLiteral("p%1@example.org").arg(request.person),
                                     QString::fromLatin1(messageIdOf(i).mid(1).chopped(1))));
            subjects.append(model.handle(request.kind, request.event, nameOf(request.person)));
            if (request.kind == Kind::AttendeeList)
                shownLists.insert(i, OpenEvent::lines(model.list(request.event)));
        }
        QVERIFY(mail.deliverAll(mails));
        QCOMPARE(mail.unreadCount(), kRequests);

        const ChildProcess::Ended attendant =
            ChildProcess::run(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")}, 25 * 60 * 1000);
        QVERIFY(!attendant.timedOut);
        QCOMPARE(attendant.exitCode, 0);
        QCOMPARE(QString::fromUtf8(attendant.err),
                 QStringLiteral("pass: %1 replies sent, 0 passed over, 0 left for a later pass\n").arg(kRequests));
        QCOMPARE(mail.unreadCount(), 0);

        for (const QString& event : kEvents)
            QCOMPARE(OpenEvent(folders, event).list(), OpenEvent::lines(model.list(event)));
        // One reply to each request, saying what the request did in its place in mailbox order;
        // over several connections they arrive in any order.
        QList<QByteArray> ids;
        for (int i = 0; i < kRequests; ++i)
            ids << messageIdOf(i);
        const QList<QByteArray> replies = inRequestOrder(mail.replies(), ids);
        QCOMPARE(replies.size(), kRequests);
        for (int i = 0; i < replies.size(); ++i) {
            const QByteArray& reply = replies.at(i);
            QCOMPARE(headerOf(reply, "In-Reply-To"), messageIdOf(i));
            QCOMPARE(QString::fromUtf8(headerOf(reply, "Subject")), subjects.at(i));
            if (shownLists.contains(i))
                QVERIFY2(MimeReader::read(reply).text.toUtf8().contains(":\r\n\r\n" + shownLists.value(i) + "\r\n"),
                         qPrintable(QStringLiteral("the list in reply %1").arg(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestAttendantBulk)
#include "test_attendant_bulk.moc"
