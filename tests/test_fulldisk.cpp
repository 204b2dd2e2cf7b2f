// The working files on a disk that is full for real (a small tmpfs the test mounts): no list,
// counter or page ever holds fewer bytes than before a failed write, no reply claims a change
// that was not written, and every request is answered once there is room again.
#include "attendant/PendingReplies.h"
#include "events/EventClosing.h"
#include "events/EventCreator.h"
#include "events/EventFiles.h"
#include "mail/MimeReader.h"
#include "settings/CounterFileCheck.h"
#include "settings/SettingsMessages.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/OpenEvent.h"
#include "support/PassRig.h"
#include "support/ScriptedPrompter.h"
#include "support/SmallDisk.h"
#include "support/Subjects.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;
using namespace Enrolix::Testing::Subjects;

namespace {

// A request from the person named, from an address of theirs.
void request(MailBackend& mail, const QString& subject, const QString& name,
             const QString& event = QStringLiteral("E00001"))
{
    mail.deliver(
        requestMail(subject, event, name, name.toLower().remove(QLatin1Char(' ')) + QStringLiteral("@example.org")));
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private:
    // The attendant's pass, its mail in Maildir folders beside the working folder once a test
    // points it there (after mounting any disk in their place).
    std::unique_ptr<PassRig> m_rig;

    QByteArray signUps(const QString& event) const { return OpenEvent(m_rig->folders, event).list(); }
    QStringList workFiles() const { return QDir(m_rig->folders.work()).entryList(QDir::Files | QDir::Hidden); }
    // Fills the disk but for the page the pass's lock file takes, so the pass runs and meets the
    // full disk at its own writes.
    static void fillButTheLock(SmallDisk& disk)
    {
        disk.fill();
        disk.release(4096);
    }
    // Pending replies with room left in their page, so that it is the list's own write that
    // meets the full disk.
    void roomForPendingReplies() const
    {
        // An entry of an event closed long ago, which the pass leaves alone.
        PendingReplies pending(PendingReplies::pathIn(m_rig->folders.work()));
        PendingReplies::Entry earlier;
        earlier.key = QStringLiteral("earlier");
        earlier.event = QStringLiteral("E09999");
        earlier.kind = RequestProtocol::RequestKind::Registration;
        earlier.name = QStringLiteral("a");
        QVERIFY(pending.add(earlier));
    }

private Q_SLOTS:
    void init() { m_rig = std::make_unique<PassRig>(); }
    void cleanup() { m_rig.reset(); }

    // The attendant
    void pass_onAFullWorkingFolder_isNotRunAndSaysWhy()
    {
        SmallDisk disk(m_rig->folders.work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        MaildirBackend mail(m_rig->mailFolder());
        m_rig->useMail(mail);
        OpenEvent::create(m_rig->folders, QStringLiteral("E00001"), "Ann\r\n");
        request(mail, kRegister, QStringLiteral("Bob"));
        disk.fill();
        const PassReport full = m_rig->run();
        // Not even its lock fits: nothing of the folder is touched.
        QVERIFY2(full.failure.contains(QStringLiteral("is full")), qPrintable(full.failure));
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
        QCOMPARE(signUps(QStringLiteral("E00001")), QByteArray("Ann\r\n"));
        QCOMPARE(mail.unreadCount(), 1);
    }

    void cancellation_onAFullDisk_keepsTheListAndIsAnsweredOnceThereIsRoom()
    {
        SmallDisk disk(m_rig->folders.work(), 32);
        ENROLIX_REQUIRE_DISK(disk);
        MaildirBackend mail(m_rig->mailFolder());
        m_rig->useMail(mail);
        OpenEvent::create(m_rig->folders, QStringLiteral("E00001"), "Ann\r\nBob\r\nCarl\r\n");
        roomForPendingReplies();
        request(mail, kCancel, QStringLiteral("Bob"));
        fillButTheLock(disk);
        const PassReport full = m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00001")), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
        QCOMPARE(mail.replySubjects(), QStringList());
        QCOMPARE(mail.unreadCount(), 1);
        QCOMPARE(full.leftForLater, 1);

        disk.releaseAll();
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00001")), QByteArray("Ann\r\nCarl\r\n"));
        QCOMPARE(mail.replySubjects(), QStringList{kCancelled});
        QCOMPARE(mail.unreadCount(), 0);
    }

    void registration_whoseNameOnlyPartlyFits_leavesNoCutName()
    {
        SmallDisk disk(m_rig->folders.work(), 32);
        ENROLIX_REQUIRE_DISK(disk);
        MaildirBackend mail(m_rig->mailFolder());
        m_rig->useMail(mail);
        const QByteArray list = QByteArray(4078, 'a') + "\r\n";
        OpenEvent::create(m_rig->folders, QStringLiteral("E00001"), list);
        // The pending replies have room in their page, so it is the list's append that fails.
        roomForPendingReplies();
        const QString name = QStringLiteral("Bartholomew Aberforth-Smythe");
        request(mail, kRegister, name);
        disk.fill();
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00001")), list);
        QCOMPARE(mail.unreadCount(), 1);

        disk.releaseAll();
        m_rig->run();
        QCOMPARE(signUps(QStringLiteral("E00001")), list + name.toUtf8() + "\r\n");
        QCOMPARE(mail.replySubjects(), QStringList{kRegistered});
    }

    void mixedRun_onANearlyFullDisk_confirmsOnlyWhatWasWritten()
    {
        SmallDisk disk(m_rig->folders.work(), 256);
        ENROLIX_REQUIRE_DISK(disk);
        MaildirBackend mail(m_rig->mailFolder());
        m_rig->useMail(mail);
        const QStringList events{QStringLiteral("E00001"), QStringLiteral("E00002"), QStringLiteral("E00003")};
        for (const QString& event : events)
            OpenEvent::create(m_rig->folders, event, {});
        for (int i = 0; i < 270; ++i) {
            const QString name = QStringLiteral("Person %1 with a rather long name").arg(i % 45);
            request(mail, i % 4 == 3 ? kCancel : kRegister, name, events.at(i % 3));
        }
        disk.fill();
        disk.release(6 * 4096);
        for (int round = 0; round < 3 && mail.unreadCount() > 0; ++round)
            m_rig->run();
        QVERIFY(mail.unreadCount() > 0); // the disk did run full
        disk.releaseAll();
        m_rig->run();
        QCOMPARE(mail.unreadCount(), 0);

        // Every reply states the list as it then was: replaying them gives the lists on disk.
        QMap<QString, QStringList> lists;
        const QRegularExpression eventIn(QStringLiteral("event (E\\d{5})"));
        for (const QByteArray& raw : mail.replies()) {
            const IncomingMail reply = MimeReader::read(raw);
            const QString name = recipientOf(raw).name;
            const QString event = eventIn.match(reply.text).captured(1);
            QStringList& list = lists[event];
            if (reply.subject == kRegistered) {
                QVERIFY2(!list.contains(name), qPrintable(name));
                list.append(name);
            } else if (reply.subject == kCancelled) {
                QVERIFY2(list.contains(name), qPrintable(name));
                list.removeAll(name);
            } else if (reply.subject == kDuplicate) {
                QVERIFY2(list.contains(name), qPrintable(name));
            } else {
                QCOMPARE(reply.subject, kNotRegistered);
                QVERIFY2(!list.contains(name), qPrintable(name));
            }
        }
        QCOMPARE(mail.replies().size(), 270);
        for (const QString& event : events)
            QCOMPARE(signUps(event), OpenEvent::lines(lists.value(event)));
    }

    void fullReplyFolder_stopsChangesAndIsAnsweredExactlyLater()
    {
        SmallDisk disk(m_rig->folders.root() + QStringLiteral("mail/outbox"), 16);
        ENROLIX_REQUIRE_DISK(disk);
        MaildirBackend mail(m_rig->mailFolder());
        m_rig->useMail(mail);
        OpenEvent::create(m_rig->folders, QStringLiteral("E00001"), {});
        for (const QString& name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")})
            request(mail, kRegister, name);
        disk.fill();
        const PassReport full = m_rig->run();
        // The mails handled while Ann's reply was under way keep their changes; their replies
        // wait with the rest.
        const QByteArray list = signUps(QStringLiteral("E00001"));
        QVERIFY2(list.startsWith("Ann\r\n") && QByteArray("Ann\r\nBob\r\nCarl\r\n").startsWith(list), list.constData());
        QCOMPARE(mail.unreadCount(), 3);
        QCOMPARE(m_rig->pass().iMAPIErrors(), qint16(1));
        QVERIFY2(full.failure.contains(QStringLiteral("could not be stored")), qPrintable(full.failure));

        disk.releaseAll();
        m_rig->run();
        QCOMPARE(mail.replySubjects(), QStringList(3, kRegistered));
        QCOMPARE(signUps(QStringLiteral("E00001")), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
    }

    // Creating and closing events
    void create_onAFullWorkingFolder_keepsTheCounter()
    {
        SmallDisk disk(m_rig->folders.work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        m_rig->folders.write(m_rig->settings.Counter_File_Path, "7\r\n");
        disk.fill();
        const EventCreator::Outcome outcome =
            EventCreator(m_rig->settings).create(QStringLiteral("Safety"), QStringLiteral("May 4"));
        QVERIFY(!outcome.file.ok());
        QCOMPARE(m_rig->folders.read(m_rig->settings.Counter_File_Path), QByteArray("7\r\n"));
        QCOMPARE(workFiles(), (QStringList{QStringLiteral(".filler"), QStringLiteral("Auto_Counter.txt")}));
    }

    // The page folder full, or the working folder full once the lock and the counter are
    // written: the texts do not fit, no file of the number appears, and the next creation,
    // once there is room, makes its event whole.
    void create_onAFullFolder_leavesNoPartOfTheEvent_data()
    {
        QTest::addColumn<bool>("workingFolder");
        QTest::addColumn<int>("pagesLeft");
        QTest::newRow("page folder") << false << 0;
        QTest::newRow("working folder") << true << 2;
    }
    void create_onAFullFolder_leavesNoPartOfTheEvent()
    {
        QFETCH(bool, workingFolder);
        QFETCH(int, pagesLeft);
        SmallDisk disk(workingFolder ? m_rig->folders.work() : m_rig->folders.pages(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        m_rig->folders.write(m_rig->settings.Counter_File_Path, "7\r\n");
        disk.fill();
        disk.release(pagesLeft * 4096);
        const QString information(6000, QLatin1Char('x'));
        const EventCreator creator(m_rig->settings);
        const EventCreator::Outcome outcome = creator.create(information, QStringLiteral("May 4"));
        QVERIFY(!outcome.file.ok());
        QCOMPARE(outcome.event, QStringLiteral("E00007"));
        QCOMPARE(m_rig->folders.read(m_rig->settings.Counter_File_Path), QByteArray("8\r\n"));
        // Nor a temporary file, nor the lock.
        const QStringList filler{QStringLiteral(".filler")};
        QCOMPARE(workFiles(),
                 (workingFolder ? filler : QStringList()) + QStringList{QStringLiteral("Auto_Counter.txt")});
        QCOMPARE(QDir(m_rig->folders.pages()).entryList(QDir::Files | QDir::Hidden),
                 workingFolder ? QStringList() : filler);
        QStringList open;
        QVERIFY(EventFiles(m_rig->settings).listOpenEvents(open).ok());
        QCOMPARE(open, QStringList());

        disk.releaseAll();
        const EventCreator::Outcome next = creator.create(information, QStringLiteral("May 4"));
        QVERIFY2(next.file.ok(), qPrintable(next.file.description));
        QCOMPARE(next.event, QStringLiteral("E00008"));
        QCOMPARE(signUps(QStringLiteral("E00008")), QByteArray());
        QCOMPARE(TestFolders::read(OpenEvent(m_rig->folders, QStringLiteral("E00008")).descriptionPath()),
                 information.toUtf8() + "\r\nMay 4\r\n");
        QVERIFY(m_rig->folders.read(m_rig->folders.pages() + QStringLiteral("E00008.html")).endsWith("</html>\r\n"));
    }

    void close_onAFullPageFolder_isRefusedAndChangesNothing()
    {
        SmallDisk disk(m_rig->folders.pages(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        OpenEvent::create(m_rig->folders, QStringLiteral("E00003"), "Ann\r\n");
        const QString page = m_rig->folders.pages() + QStringLiteral("E00003.html");
        m_rig->folders.write(page, "<html>open</html>\r\n");
        disk.fill();
        const CloseResult result = CloseEvent(m_rig->settings, QStringLiteral("E00003"));
        QCOMPARE(result.status, CloseResult::Status::Refused);
        QVERIFY(result.report.text.startsWith(QStringLiteral("Event E00003 was not closed.\r")));
        QCOMPARE(m_rig->folders.read(page), QByteArray("<html>open</html>\r\n"));
        QCOMPARE(signUps(QStringLiteral("E00003")), QByteArray("Ann\r\n"));
        QVERIFY(QFile::exists(OpenEvent(m_rig->folders, QStringLiteral("E00003")).descriptionPath()));
    }

    void counterCheck_onAFullDisk_reportsAndLeavesNoEmptyCounter()
    {
        SmallDisk disk(m_rig->folders.work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        disk.fill();
        ScriptedPrompter prompter;
        prompter.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::Yes);
        prompter.expect(SettingsMessages::creatingFile(), Testing::DefaultButton{Button::Ok});
        prompter.expect(SettingsMessages::errorCreatingFile(), Testing::DefaultButton{Button::Ok});
        CheckCounterFile(m_rig->settings, prompter);
        ENROLIX_VERIFY_BOXES(prompter);
        QVERIFY(!QFile::exists(m_rig->settings.Counter_File_Path));
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "test_fulldisk.moc"
