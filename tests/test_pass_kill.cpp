// A pass killed at every point between two of its mail operations, followed by a whole pass:
// no registration lost, no list line corrupted, every request answered at least once with the
// reply of its first attempt, and nothing left unread. Built twice: on Maildir folders and (ENROLIX_PASS_ON_SERVERS) on
// the Dovecot server and SMTP sink, where the journal of mails in flight does the repair.
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/MailSamples.h"
#include "support/SelectedBackend.h"
#include "support/TestFolders.h"

#include <QProcess>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kRegister = QStringLiteral("Register for Event   (Enrolix)");
// Boundaries of a whole pass over the five mails below: sign-on, fetch and sign-off, for each
// mail its read, the start and the end of its reply, and its mark, and the fetch ahead of each
// mail after the first, each counted before and after.
constexpr int kBoundaries = 2 * (3 + 5 * 4 + 4);

struct Run
{
    int exitCode;
    QProcess::ExitStatus status;
    QByteArray output;
};

Run runPass(int killAt)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(ENROLIX_PASS_RUNNER), {QString::number(killAt)});
    process.waitForFinished(60000);
    return {process.exitCode(), process.exitStatus(), process.readAll()};
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
        IniSettingsStore store;
        backend.configure(store, SettingsKeys::kMailProfileName);
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        folders.write(folders.work() + QStringLiteral("E00001.sc"), "Dora\r\n");
        folders.write(folders.work() + QStringLiteral("E00001.scn"), "Course\r\nMay 4\r\n");

        const QStringList people = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")};
        for (const QString& name : people)
            backend.deliver(requestMail(kRegister, QStringLiteral("E00001"), name, name.toLower() + "@example.org"));
        backend.deliver(requestMail(QStringLiteral("Cancel Event Registration   (Enrolix)"), QStringLiteral("E00001"),
                                    QStringLiteral("Dora"), QStringLiteral("dora@example.org")));
        backend.deliver(requestMail(QStringLiteral("Request Attendee List   (Enrolix)"), QStringLiteral("E00001"),
                                    QStringLiteral("Eve"), QStringLiteral("eve@example.org")));

        const Run killed = runPass(killAt);
        QCOMPARE(killed.status, QProcess::CrashExit);
        const Run repair = runPass(0);
        QVERIFY2(repair.status == QProcess::NormalExit && repair.exitCode == 0, repair.output.constData());

        QCOMPARE(folders.read(folders.work() + QStringLiteral("E00001.sc")), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
        QCOMPARE(backend.unreadCount(), 0);
        QMap<QString, QStringList> answers;
        for (const QByteArray& raw : backend.replies())
            answers[recipientOf(raw).address].append(MimeReader::read(raw).subject);
        for (const QString& name : people) {
            const QStringList subjects = answers.value(name.toLower() + "@example.org");
            QVERIFY2(!subjects.isEmpty(), qPrintable(name));
            // Never "Duplicate" about their own registration, however often it was tried.
            for (const QString& subject : subjects)
                QCOMPARE(subject, QStringLiteral("Registration Request Processed"));
        }
        const QStringList dora = answers.value(QStringLiteral("dora@example.org"));
        QVERIFY(!dora.isEmpty());
        for (const QString& subject : dora)
            QCOMPARE(subject, QStringLiteral("Cancellation Request Processed"));
        QVERIFY(answers.value(QStringLiteral("eve@example.org")).contains(QStringLiteral("Request for Attendees")));
    }

    void wholePass_hasTheCountedBoundaries()
    {
        TestFolders folders;
        Backend backend(folders.root() + QStringLiteral("mail/"));
        IniSettingsStore store;
        backend.configure(store, SettingsKeys::kMailProfileName);
        store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
        for (int i = 0; i < 5; ++i)
            backend.deliver(requestMail(kRegister, QStringLiteral("E00009"), QStringLiteral("Ann"),
                                        QStringLiteral("ann@example.org")));
        const Run run = runPass(0);
        QVERIFY2(run.output.contains("boundaries " + QByteArray::number(kBoundaries)), run.output.constData());
    }
};

QTEST_GUILESS_MAIN(TestPassKill)
#include "test_pass_kill.moc"
