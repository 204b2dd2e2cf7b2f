// A pass killed at every point between two of its mail operations, followed by a whole pass:
// no registration lost, no list line corrupted, every request answered at least once with the
// reply of its first attempt, and nothing left unread. Built twice: on Maildir folders and (ENROLIX_PASS_ON_SERVERS) on
// the Dovecot server and SMTP sink, where the journal of mails in flight does the repair.
#include "mail/MimeReader.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/SelectedBackend.h"
#include "support/Subjects.h"

#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;
using namespace Enrolix::Testing::Subjects;

namespace {

// Boundaries of a whole pass over the five mails below: sign-on, fetch and sign-off, for each
// mail its read, the start and the end of its reply, and its mark, and the fetch ahead of each
// mail after the first, each counted before and after.
constexpr int kBoundaries = 2 * (3 + 5 * 4 + 4);

// One pass of the runner on the test's settings file, killing itself at a boundary (none at 0).
ChildProcess::Ended runPass(int killAt)
{
    return ChildProcess::run(QStringLiteral(ENROLIX_PASS_RUNNER), {QString::number(killAt)});
}

} // namespace

class TestPassKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedPass_isRepairedByTheNext_data()
    {
        QTest::addColumn<int>("killAt");
        for (int boundary = 1; boundary <= kBoundaries; ++boundary)
            QTest::addRow("boundary %d", boundary) << boundary;
    }
    void killedPass_isRepairedByTheNext()
    {
        QFETCH(int, killAt);
        TestFolders folders;
        Backend backend(folders.root() + QStringLiteral("mail/"));
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        PassRig::writeSettingsFile(folders, backend);
        const OpenEvent event = OpenEvent::create(folders, QStringLiteral("E00001"), "Dora\r\n");

        const QStringList people = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")};
        for (const QString& name : people)
            backend.deliver(requestMail(kRegister, QStringLiteral("E00001"), name, name.toLower() + "@example.org"));
        backend.deliver(
            requestMail(kCancel, QStringLiteral("E00001"), QStringLiteral("Dora"), QStringLiteral("dora@example.org")));
        backend.deliver(requestMail(kAttendeeList, QStringLiteral("E00001"), QStringLiteral("Eve"),
                                    QStringLiteral("eve@example.org")));

        const ChildProcess::Ended killed = runPass(killAt);
        QVERIFY2(killed.crashed, killed.output().constData());
        const ChildProcess::Ended repair = runPass(0);
        QVERIFY2(repair.exitCode == 0, repair.output().constData());

        QCOMPARE(event.list(), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
        QCOMPARE(backend.unreadCount(), 0);
        QMap<QString, QStringList> answers;
        for (const QByteArray& raw : backend.replies())
            answers[recipientOf(raw).address].append(MimeReader::read(raw).subject);
        for (const QString& name : people) {
            const QStringList subjects = answers.value(name.toLower() + "@example.org");
            QVERIFY2(!subjects.isEmpty(), qPrintable(name));
            // Never "Duplicate" about their own registration, however often it was tried.
            for (const QString& subject : subjects)
                QCOMPARE(subject, kRegistered);
        }
        const QStringList dora = answers.value(QStringLiteral("dora@example.org"));
        QVERIFY(!dora.isEmpty());
        for (const QString& subject : dora)
            QCOMPARE(subject, kCancelled);
        QVERIFY(answers.value(QStringLiteral("eve@example.org")).contains(kAttendees));
    }

    void wholePass_hasTheCountedBoundaries()
    {
        TestFolders folders;
        Backend backend(folders.root() + QStringLiteral("mail/"));
        PassRig::writeSettingsFile(folders, backend);
        for (int i = 0; i < 5; ++i)
            backend.deliver(requestMail(kRegister, QStringLiteral("E00009"), QStringLiteral("Ann"),
                                        QStringLiteral("ann@example.org")));
        const ChildProcess::Ended run = runPass(0);
        QVERIFY2(run.out.contains("boundaries " + QByteArray::number(kBoundaries)), run.output().constData());
    }
};

QTEST_GUILESS_MAIN(TestPassKill)
#include "test_pass_kill.moc"
