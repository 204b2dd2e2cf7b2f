// The valve on the replies to one sender: what it counts, what it forgets after 24 hours (on an
// injected clock), and what a restart finds in its file; and the pass's log line that names the
// senders it held back.
#include "attendant/AttendantService.h"
#include "attendant/ProcessingPass.h"
#include "attendant/ReplyValve.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

constexpr qint64 kStart = 1'800'000'000;
constexpr qint64 kHour = 60 * 60;
const QString kAnn = QStringLiteral("ann@example.org");

} // namespace

class TestReplyValve : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolders> m_folders;
    qint64 m_now{kStart};

    QString path() const { return m_folders->root() + QStringLiteral("data/enrolix/replies-per-sender.txt"); }
    ReplyValve valve(int maxReplies) const
    {
        return ReplyValve(path(), maxReplies, [this] { return m_now; });
    }
    // Counts replies to the address for that many new mails, as far as the valve admits them.
    static int countMails(ReplyValve& valve, const QString& address, int mails, const QString& prefix)
    {
        int counted = 0;
        for (int i = 0; i < mails; ++i) {
            const QString key = prefix + QString::number(i);
            if (valve.admits(address, key) && valve.count(address, key))
                ++counted;
        }
        return counted;
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_now = kStart;
    }

    void count_upToTheLimit_thenRefusesTheAddressInAnyCase()
    {
        ReplyValve first = valve(3);
        QCOMPARE(countMails(first, kAnn, 5, QStringLiteral("a")), 3);
        QVERIFY(!first.admits(QStringLiteral("ANN@Example.ORG"), QStringLiteral("new")));
        QVERIFY(first.admits(QStringLiteral("bob@example.org"), QStringLiteral("new")));
        // A mail counted already is the same mail again: admitted and not counted twice.
        QVERIFY(first.admits(kAnn, QStringLiteral("a1")));
        QVERIFY(first.count(kAnn, QStringLiteral("a1")));
        // A restart, or another program, reads the same counts.
        ReplyValve restarted = valve(3);
        QVERIFY(!restarted.admits(kAnn, QStringLiteral("new")));
        QVERIFY(restarted.admits(kAnn, QStringLiteral("a2")));
        QCOMPARE(m_folders->read(path()).count('\n'), 3);
    }

    void window_repliesOlderThanADay_areForgottenAndLeaveTheFile_data()
    {
        QTest::addColumn<qint64>("later");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("at once") << qint64(0) << false;
        QTest::newRow("a second short of a day") << 24 * kHour - 1 << false;
        QTest::newRow("a day") << 24 * kHour << true;
        QTest::newRow("a week") << 7 * 24 * kHour << true;
        // Lines from a clock that ran a day ahead and was set right.
        QTest::newRow("a day back") << -24 * kHour << true;
        QTest::newRow("an hour back") << -kHour << false;
    }
    void window_repliesOlderThanADay_areForgottenAndLeaveTheFile()
    {
        QFETCH(qint64, later);
        QFETCH(bool, admitted);
        {
            ReplyValve first = valve(2);
            QCOMPARE(countMails(first, kAnn, 2, QStringLiteral("old")), 2);
            m_now += kHour;
            QCOMPARE(countMails(first, QStringLiteral("bob@example.org"), 1, QStringLiteral("bob")), 1);
        }
        m_now = kStart + later;
        ReplyValve next = valve(2);
        QCOMPARE(next.admits(kAnn, QStringLiteral("new")), admitted);
        // Forgotten lines leave the file: it holds no more than a day's replies.
        const int lines = int(m_folders->read(path()).count('\n'));
        QCOMPARE(lines, admitted ? (later == 24 * kHour ? 1 : 0) : 3);
    }

    // The file as another program, or an earlier run, left it: damaged lines are forgotten with the old ones.
    void file_writtenElsewhere_countsItsWholeLinesOnly()
    {
        const QByteArray now = QByteArray::number(kStart);
        const QByteArray ann = now + " 0123456789abcdef ann@example.org\r\n";
        QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));
        m_folders->write(path(), ann + now + " fedcba9876543210 ann@example.org\n" + now
                                     + " 00000000000000ff ann@example.org\r" + now + " 12ab ann@example.org\r\n"
                                     + "soon 0123456789abcdee ann@example.org\r\n" + now + " 0123456789abcded\r\n");
        ReplyValve read = valve(3);
        QVERIFY(!read.admits(QStringLiteral("Ann@example.org"), QStringLiteral("new")));
        ReplyValve higher = valve(4);
        QVERIFY(higher.admits(kAnn, QStringLiteral("new")));
        QCOMPARE(m_folders->read(path()).count('\n'), 3);
        QVERIFY(m_folders->read(path()).startsWith(ann));
    }

    void off_admitsEveryMailAndWritesNothing()
    {
        ReplyValve off = valve(0);
        QCOMPARE(countMails(off, kAnn, 50, QStringLiteral("a")), 50);
        QVERIFY(!QFileInfo::exists(path()));
    }

    void unreadableFile_countsNothing_soNoReplyGoesOut()
    {
        QVERIFY(QDir().mkpath(path()));
        ReplyValve blocked = valve(3);
        QVERIFY(!blocked.count(kAnn, QStringLiteral("a")));
    }

    void logLine_namesTheSendersHeldBack_data()
    {
        QTest::addColumn<QStringList>("senders");
        QTest::addColumn<QString>("line");
        const QString counts = QStringLiteral("pass: 2 replies sent, 3 passed over, 0 left for a later pass");
        QTest::newRow("none") << QStringList() << counts;
        QTest::newRow("one") << QStringList{kAnn} << counts + QStringLiteral(" (reply limit reached: ann@example.org)");
        QTest::newRow("two") << QStringList{kAnn, QStringLiteral("bob@example.org")}
                             << counts + QStringLiteral(" (reply limit reached: ann@example.org, bob@example.org)");
        QTest::newRow("line break") << QStringList{QStringLiteral("x@y\npass: forged")}
                                    << counts + QStringLiteral(" (reply limit reached: x@y\u240Apass: forged)");
    }
    void logLine_namesTheSendersHeldBack()
    {
        QFETCH(QStringList, senders);
        QFETCH(QString, line);
        PassReport report;
        report.connected = true;
        report.replies = 2;
        report.passedOver = 3;
        report.overReplyLimit = senders;
        QCOMPARE(AttendantService::logLine(report), line);
    }
};

QTEST_GUILESS_MAIN(TestReplyValve)
#include "test_reply_valve.moc"
