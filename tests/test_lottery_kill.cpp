// Send Notifications killed in the middle, against the SMTP sink reached through a slow link,
// and sent again: everybody gets their mail, nobody twice but the one in flight at the kill.
#include "events/EventFiles.h"
#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "lottery/LotteryMessages.h"
#include "lottery/SeatRelease.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "platform/TextFiles.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/ClosedEventFiles.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"

#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

// Twelve people with addresses, a closed event E00009 and its saved draw, the user's settings
// file naming the fixture's mail servers.
struct DrawnEvent
{
    explicit DrawnEvent(int seats)
    {
        PassRig::writeSettingsFile(folders, server);
        for (int i = 1; i <= 12; ++i) {
            names << QStringLiteral("Person %1").arg(i);
            addresses << QStringLiteral("p%1@example.org").arg(i);
        }
        writeClosedEvent(folders, QStringLiteral("E00009"), names, addresses);
        FileResult failure;
        closed = ClosedEvent::load(EventFiles(settings), QStringLiteral("E00009"), failure);
        if (closed) {
            draw = DrawRecord::make(*closed, QStringLiteral("key"), seats, QDateTime::currentDateTimeUtc());
            TextFiles::writeWhole(closed->drawPath, draw->text());
        }
    }
    QString addressOf(int rank) const { return closed->addresses.value(draw->entries.at(rank - 1).name); }
    QStringList sent() const { return TextFiles::readLines(closed->sentPath).value_or(QStringList()); }
    // From now on the mails go through a proxy in front of the SMTP sink.
    std::unique_ptr<FaultProxy> slowLink(const QStringList& options)
    {
        auto proxy = std::make_unique<FaultProxy>(server.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt(), options);
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox,
                    QStringLiteral("smtp://127.0.0.1:%1").arg(proxy->port()));
        return proxy;
    }

    TestFolders folders;
    ServerBackend server{folders.root() + QStringLiteral("mail/")};
    IniSettingsStore store;
    Settings settings{folders.settings()};
    QStringList names;
    QStringList addresses;
    std::optional<ClosedEvent> closed;
    std::optional<DrawRecord> draw;
};

// Send Notifications of E00009 as another program; its standard output says "sent N of M" after
// each mail.
ChildProcess::Ended sendAll()
{
    return ChildProcess::run(QStringLiteral(ENROLIX_NOTIFY_RUNNER), {QStringLiteral("E00009")});
}

} // namespace

class TestLotteryKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedSend_resumes_withoutLossOrRepeat_data()
    {
        QTest::addColumn<int>("killAfter");
        for (int sent : {1, 4, 9})
            QTest::addRow("after %d recorded", sent) << sent;
    }
    void killedSend_resumes_withoutLossOrRepeat()
    {
        QFETCH(int, killAfter);
        DrawnEvent event(4);
        QVERIFY2(event.server.problem().isEmpty(), qPrintable(event.server.problem()));
        QVERIFY(event.closed);
        // 40 ms each way: a mail takes a few hundred milliseconds, so the kill lands mid-send.
        const auto proxy = event.slowLink({QStringLiteral("--delay-ms"), QStringLiteral("40")});
        QVERIFY(proxy->port());

        ChildProcess killed(QStringLiteral(ENROLIX_NOTIFY_RUNNER), {QStringLiteral("E00009")});
        QVERIFY(killed.start());
        QTRY_VERIFY_WITH_TIMEOUT(event.sent().size() >= killAfter, 30000);
        killed.kill();
        QVERIFY(killed.ended().crashed);
        const int recordedAtKill = int(event.sent().size());
        QVERIFY(recordedAtKill < 12);

        const ChildProcess::Ended again = sendAll();
        QVERIFY2(again.exitCode == 0, again.output().constData());

        QMap<QString, int> mails;
        QTRY_VERIFY_WITH_TIMEOUT(event.server.replies().size() >= 12, 10000);
        QTest::qWait(300);
        for (const QByteArray& raw : event.server.replies())
            ++mails[recipientOf(raw).address];
        int twice = 0;
        for (const QString& address : event.addresses) {
            QVERIFY2(mails.value(address) >= 1, qPrintable(address));
            QVERIFY2(mails.value(address) <= 2, qPrintable(address));
            twice += mails.value(address) - 1;
        }
        QVERIFY2(twice <= 1, qPrintable(QString::number(twice)));
        QCOMPARE(mails.size(), 12);
        QCOMPARE(event.sent().size(), 12);
    }

    // Three seats released after the draw's mails went out; the send of the three invitations is
    // killed while the second hangs on a silent link, then sent again.
    void killedSendAfterReleases_givesEveryMovedUpAddressOneInvitation()
    {
        DrawnEvent event(5);
        QVERIFY2(event.server.problem().isEmpty(), qPrintable(event.server.problem()));
        QVERIFY(event.closed);
        const ChildProcess::Ended first = sendAll();
        QVERIFY2(first.exitCode == 0, first.output().constData());
        QTRY_COMPARE_WITH_TIMEOUT(int(event.server.replies().size()), 12, 10000);
        for (int rank = 1; rank <= 3; ++rank) {
            const ReleaseOutcome released = SeatRelease().release(
                *event.closed, *event.draw, event.draw->entries.at(rank - 1).name, QDateTime::currentDateTimeUtc());
            QCOMPARE(released.kind, ReleaseOutcome::Kind::MovedUp);
            QCOMPARE(released.movedUp, event.draw->entries.at(5 + rank - 1).name);
        }

        // The link is slow, and falls silent once the second invitation names its recipient:
        // that mail never gets past the envelope, so whether it was sent is never in doubt.
        const auto proxy =
            event.slowLink({QStringLiteral("--delay-ms"), QStringLiteral("40"), QStringLiteral("--silent-after"),
                            QStringLiteral("RCPT TO:<%1>").arg(event.addressOf(7))});
        QVERIFY(proxy->port());
        ChildProcess killed(QStringLiteral(ENROLIX_NOTIFY_RUNNER), {QStringLiteral("E00009")});
        QVERIFY(killed.start());
        QTRY_VERIFY_WITH_TIMEOUT(killed.printed().contains("sent 1 of 3"), 30000);
        killed.kill();
        QVERIFY(killed.ended().crashed);
        QCOMPARE(event.sent().size(), 13);

        proxy->heal();
        const ChildProcess::Ended again = sendAll();
        QVERIFY2(again.exitCode == 0, again.output().constData());
        QTRY_COMPARE_WITH_TIMEOUT(int(event.server.replies().size()), 15, 10000);

        const QString movedUpText =
            LotteryMessages::movedUpInvitation(QStringLiteral("E00009"), QStringLiteral("Safety\r\nMay 4\r\n"),
                                               LotteryMessages::contact(event.settings.Training_Coordinator_Name,
                                                                        event.settings.Training_Coordinator_Ext))
                .text;
        QMap<QString, int> invitations;
        for (const QByteArray& raw : event.server.replies()) {
            const IncomingMail read = MimeReader::read(raw);
            if (read.text == movedUpText && read.subject == QStringLiteral("Course Invitation"))
                ++invitations[recipientOf(raw).address];
        }
        QCOMPARE(invitations,
                 (QMap<QString, int>{{event.addressOf(6), 1}, {event.addressOf(7), 1}, {event.addressOf(8), 1}}));
        QCOMPARE(event.sent().size(), 15);
    }
};

QTEST_GUILESS_MAIN(TestLotteryKill)
#include "test_lottery_kill.moc"
