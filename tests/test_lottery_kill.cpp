// Send Notifications killed in the middle, against the SMTP sink reached through a slow link,
// and sent again: everybody gets their mail, nobody twice but the one in flight at the kill.
#include "events/EventFiles.h"
#include "lottery/ClosedEvent.h"
#include "lottery/DrawRecord.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "platform/TextFiles.h"
#include "support/ChildProcess.h"
#include "support/ClosedEventFiles.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/PassRig.h"
#include "support/ServerBackend.h"

#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

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
        TestFolders folders;
        ServerBackend server(folders.root() + QStringLiteral("mail/"));
        QVERIFY2(server.problem().isEmpty(), qPrintable(server.problem()));
        PassRig::writeSettingsFile(folders, server);
        // 40 ms each way: a mail takes a few hundred milliseconds, so the kill lands mid-send.
        FaultProxy smtp(server.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt(),
                        {QStringLiteral("--delay-ms"), QStringLiteral("40")});
        QVERIFY(smtp.port());
        IniSettingsStore().write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox,
                                 QStringLiteral("smtp://127.0.0.1:%1").arg(smtp.port()));

        QStringList names;
        QStringList addresses;
        for (int i = 1; i <= 12; ++i) {
            names << QStringLiteral("Person %1").arg(i);
            addresses << QStringLiteral("p%1@example.org").arg(i);
        }
        writeClosedEvent(folders, QStringLiteral("E00009"), names, addresses);
        Settings settings = folders.settings();
        const EventFiles files(settings);
        FileResult failure;
        const std::optional<ClosedEvent> closed = ClosedEvent::load(files, QStringLiteral("E00009"), failure);
        QVERIFY(closed);
        const DrawRecord draw = DrawRecord::make(*closed, QStringLiteral("key"), 4, QDateTime::currentDateTimeUtc());
        QVERIFY(TextFiles::writeWhole(closed->drawPath, draw.text()).ok());

        ChildProcess killed(QStringLiteral(ENROLIX_NOTIFY_RUNNER), {QStringLiteral("E00009")});
        QVERIFY(killed.start());
        QTRY_VERIFY_WITH_TIMEOUT(TextFiles::readLines(closed->sentPath).value_or(QStringList()).size() >= killAfter,
                                 30000);
        killed.kill();
        QVERIFY(killed.ended().crashed);
        const int recordedAtKill = int(TextFiles::readLines(closed->sentPath)->size());
        QVERIFY(recordedAtKill < 12);

        const ChildProcess::Ended again =
            ChildProcess::run(QStringLiteral(ENROLIX_NOTIFY_RUNNER), {QStringLiteral("E00009")});
        QVERIFY2(again.exitCode == 0, again.output().constData());

        QMap<QString, int> mails;
        QTRY_VERIFY_WITH_TIMEOUT(server.replies().size() >= 12, 10000);
        QTest::qWait(300);
        for (const QByteArray& raw : server.replies())
            ++mails[recipientOf(raw).address];
        int twice = 0;
        for (const QString& address : addresses) {
            QVERIFY2(mails.value(address) >= 1, qPrintable(address));
            QVERIFY2(mails.value(address) <= 2, qPrintable(address));
            twice += mails.value(address) - 1;
        }
        QVERIFY2(twice <= 1, qPrintable(QString::number(twice)));
        QCOMPARE(mails.size(), 12);
        QCOMPARE(TextFiles::readLines(closed->sentPath)->size(), 12);
    }
};

QTEST_GUILESS_MAIN(TestLotteryKill)
#include "test_lottery_kill.moc"
