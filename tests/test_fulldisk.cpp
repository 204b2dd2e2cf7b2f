// The working files on a disk that is full for real (a small tmpfs the test mounts): no list,
// counter or page ever holds fewer bytes than before a failed write, no reply claims a change
// that was not written, and every request is answered once there is room again.
#include "ProfileMailSessionFactory.h"
#include "attendant/PendingReplies.h"
#include "attendant/ProcessingPass.h"
#include "events/EventClosing.h"
#include "events/EventCreator.h"
#include "events/EventFiles.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "settings/CounterFileCheck.h"
#include "settings/SettingsMessages.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingPassListener.h"
#include "support/ScriptedPrompter.h"
#include "support/SmallDisk.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kRegister = QStringLiteral("Register for Event   (Enrolix)");
const QString kCancel = QStringLiteral("Cancel Event Registration   (Enrolix)");
const QByteArray kDescription = "Course\r\nMay 4\r\n";

QString addressOf(const QString& name)
{
    return name.toLower().remove(QLatin1Char(' ')) + QStringLiteral("@example.org");
}

// A mailbox in Maildir folders beside the working folder, and the attendant's pass on it.
struct Rig
{
    explicit Rig(const QString& root) : mail(root + QStringLiteral("mail/"))
    {
        mail.configure(store, SettingsKeys::kMailProfileName);
    }

    void request(const QString& subject, const QString& name, const QString& event = QStringLiteral("E00001"))
    {
        mail.deliver(requestMail(subject, event, name, addressOf(name)));
    }
    QStringList replySubjects() const
    {
        QStringList subjects;
        for (const QByteArray& raw : mail.replies())
            subjects << MimeReader::read(raw).subject;
        return subjects;
    }

    MaildirBackend mail;
    MemorySettingsStore store;
    ProfileMailSessionFactory factory{store};
    RecordingPassListener listener;
};

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    Settings m_settings;

    QString work(const QString& name) const { return m_folders->work() + name; }
    void createEvent(const QString& event, const QByteArray& list)
    {
        m_folders->write(work(event + QStringLiteral(".sc")), list);
        m_folders->write(work(event + QStringLiteral(".scn")), kDescription);
    }
    QStringList workFiles() const { return QDir(m_folders->work()).entryList(QDir::Files | QDir::Hidden); }
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
        PendingReplies pending(PendingReplies::pathIn(m_folders->work()));
        PendingReplies::Entry earlier;
        earlier.key = QStringLiteral("earlier");
        earlier.event = QStringLiteral("E09999");
        earlier.kind = RequestProtocol::RequestKind::Registration;
        earlier.name = QStringLiteral("a");
        QVERIFY(pending.add(earlier));
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_settings = m_folders->settings();
    }
    void cleanup() { m_folders.reset(); }

    // The attendant
    void pass_onAFullWorkingFolder_isNotRunAndSaysWhy()
    {
        SmallDisk disk(m_folders->work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        Rig rig(m_folders->root());
        createEvent(QStringLiteral("E00001"), "Ann\r\n");
        rig.request(kRegister, QStringLiteral("Bob"));
        disk.fill();
        ProcessingPass pass(m_settings, rig.factory, rig.listener);
        const PassReport full = pass.run();
        // Not even its lock fits: nothing of the folder is touched.
        QVERIFY2(full.failure.contains(QStringLiteral("is full")), qPrintable(full.failure));
        QCOMPARE(pass.iMAPIErrors(), qint16(1));
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), QByteArray("Ann\r\n"));
        QCOMPARE(rig.mail.unreadCount(), 1);
    }

    void cancellation_onAFullDisk_keepsTheListAndIsAnsweredOnceThereIsRoom()
    {
        SmallDisk disk(m_folders->work(), 32);
        ENROLIX_REQUIRE_DISK(disk);
        Rig rig(m_folders->root());
        createEvent(QStringLiteral("E00001"), "Ann\r\nBob\r\nCarl\r\n");
        roomForPendingReplies();
        rig.request(kCancel, QStringLiteral("Bob"));
        fillButTheLock(disk);
        ProcessingPass pass(m_settings, rig.factory, rig.listener);
        const PassReport full = pass.run();
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
        QCOMPARE(rig.replySubjects(), QStringList());
        QCOMPARE(rig.mail.unreadCount(), 1);
        QCOMPARE(full.leftForLater, 1);

        disk.releaseAll();
        pass.run();
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), QByteArray("Ann\r\nCarl\r\n"));
        QCOMPARE(rig.replySubjects(), QStringList{QStringLiteral("Cancellation Request Processed")});
        QCOMPARE(rig.mail.unreadCount(), 0);
    }

    void registration_whoseNameOnlyPartlyFits_leavesNoCutName()
    {
        SmallDisk disk(m_folders->work(), 32);
        ENROLIX_REQUIRE_DISK(disk);
        Rig rig(m_folders->root());
        const QByteArray list = QByteArray(4078, 'a') + "\r\n";
        createEvent(QStringLiteral("E00001"), list);
        // The pending replies have room in their page, so it is the list's append that fails.
        roomForPendingReplies();
        const QString name = QStringLiteral("Bartholomew Aberforth-Smythe");
        rig.request(kRegister, name);
        disk.fill();
        ProcessingPass pass(m_settings, rig.factory, rig.listener);
        pass.run();
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), list);
        QCOMPARE(rig.mail.unreadCount(), 1);

        disk.releaseAll();
        pass.run();
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), list + name.toUtf8() + "\r\n");
        QCOMPARE(rig.replySubjects(), QStringList{QStringLiteral("Registration Request Processed")});
    }

    void mixedRun_onANearlyFullDisk_confirmsOnlyWhatWasWritten()
    {
        SmallDisk disk(m_folders->work(), 256);
        ENROLIX_REQUIRE_DISK(disk);
        Rig rig(m_folders->root());
        const QStringList events{QStringLiteral("E00001"), QStringLiteral("E00002"), QStringLiteral("E00003")};
        for (const QString& event : events)
            createEvent(event, {});
        for (int i = 0; i < 270; ++i) {
            const QString name = QStringLiteral("Person %1 with a rather long name").arg(i % 45);
            rig.request(i % 4 == 3 ? kCancel : kRegister, name, events.at(i % 3));
        }
        disk.fill();
        disk.release(6 * 4096);
        ProcessingPass pass(m_settings, rig.factory, rig.listener);
        for (int round = 0; round < 3 && rig.mail.unreadCount() > 0; ++round)
            pass.run();
        QVERIFY(rig.mail.unreadCount() > 0); // the disk did run full
        disk.releaseAll();
        pass.run();
        QCOMPARE(rig.mail.unreadCount(), 0);

        // Every reply states the list as it then was: replaying them gives the lists on disk.
        QMap<QString, QStringList> lists;
        const QRegularExpression eventIn(QStringLiteral("event (E\\d{5})"));
        for (const QByteArray& raw : rig.mail.replies()) {
            const IncomingMail reply = MimeReader::read(raw);
            const QString name = recipientOf(raw).name;
            const QString event = eventIn.match(reply.text).captured(1);
            QStringList& list = lists[event];
            if (reply.subject == QLatin1String("Registration Request Processed")) {
                QVERIFY2(!list.contains(name), qPrintable(name));
                list.append(name);
            } else if (reply.subject == QLatin1String("Cancellation Request Processed")) {
                QVERIFY2(list.contains(name), qPrintable(name));
                list.removeAll(name);
            } else if (reply.subject == QLatin1String("Duplicate Registration Request")) {
                QVERIFY2(list.contains(name), qPrintable(name));
            } else {
                QCOMPARE(reply.subject, QStringLiteral("Cancellation Request Not Processed"));
                QVERIFY2(!list.contains(name), qPrintable(name));
            }
        }
        QCOMPARE(rig.mail.replies().size(), 270);
        for (const QString& event : events) {
            const QByteArray expected = lists.value(event).isEmpty()
                                            ? QByteArray()
                                            : (lists.value(event).join(QStringLiteral("\r\n")) + "\r\n").toUtf8();
            QCOMPARE(m_folders->read(work(event + QStringLiteral(".sc"))), expected);
        }
    }

    void fullReplyFolder_stopsChangesAndIsAnsweredExactlyLater()
    {
        SmallDisk disk(m_folders->root() + QStringLiteral("mail/outbox"), 16);
        ENROLIX_REQUIRE_DISK(disk);
        Rig rig(m_folders->root());
        createEvent(QStringLiteral("E00001"), {});
        for (const QString& name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Carl")})
            rig.request(kRegister, name);
        disk.fill();
        ProcessingPass pass(m_settings, rig.factory, rig.listener);
        const PassReport full = pass.run();
        // The mails handled while Ann's reply was under way keep their changes; their replies
        // wait with the rest.
        const QByteArray list = m_folders->read(work(QStringLiteral("E00001.sc")));
        QVERIFY2(list.startsWith("Ann\r\n") && QByteArray("Ann\r\nBob\r\nCarl\r\n").startsWith(list), list.constData());
        QCOMPARE(rig.mail.unreadCount(), 3);
        QCOMPARE(pass.iMAPIErrors(), qint16(1));
        QVERIFY2(full.failure.contains(QStringLiteral("could not be stored")), qPrintable(full.failure));

        disk.releaseAll();
        pass.run();
        QCOMPARE(rig.replySubjects(), QStringList(3, QStringLiteral("Registration Request Processed")));
        QCOMPARE(m_folders->read(work(QStringLiteral("E00001.sc"))), QByteArray("Ann\r\nBob\r\nCarl\r\n"));
    }

    // Creating and closing events
    void create_onAFullWorkingFolder_keepsTheCounter()
    {
        SmallDisk disk(m_folders->work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");
        disk.fill();
        const EventCreator::Outcome outcome =
            EventCreator(m_settings).create(QStringLiteral("Safety"), QStringLiteral("May 4"));
        QVERIFY(!outcome.file.ok());
        QCOMPARE(m_folders->read(m_settings.Counter_File_Path), QByteArray("7\r\n"));
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
        SmallDisk disk(workingFolder ? m_folders->work() : m_folders->pages(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");
        disk.fill();
        disk.release(pagesLeft * 4096);
        const QString information(6000, QLatin1Char('x'));
        const EventCreator creator(m_settings);
        const EventCreator::Outcome outcome = creator.create(information, QStringLiteral("May 4"));
        QVERIFY(!outcome.file.ok());
        QCOMPARE(outcome.event, QStringLiteral("E00007"));
        QCOMPARE(m_folders->read(m_settings.Counter_File_Path), QByteArray("8\r\n"));
        // Nor a temporary file, nor the lock.
        const QStringList filler{QStringLiteral(".filler")};
        QCOMPARE(workFiles(),
                 (workingFolder ? filler : QStringList()) + QStringList{QStringLiteral("Auto_Counter.txt")});
        QCOMPARE(QDir(m_folders->pages()).entryList(QDir::Files | QDir::Hidden),
                 workingFolder ? QStringList() : filler);
        QStringList open;
        QVERIFY(EventFiles(m_settings).listOpenEvents(open).ok());
        QCOMPARE(open, QStringList());

        disk.releaseAll();
        const EventCreator::Outcome next = creator.create(information, QStringLiteral("May 4"));
        QVERIFY2(next.file.ok(), qPrintable(next.file.description));
        QCOMPARE(next.event, QStringLiteral("E00008"));
        QCOMPARE(m_folders->read(work(QStringLiteral("E00008.sc"))), QByteArray());
        QCOMPARE(m_folders->read(work(QStringLiteral("E00008.scn"))), information.toUtf8() + "\r\nMay 4\r\n");
        QVERIFY(m_folders->read(m_folders->pages() + QStringLiteral("E00008.html")).endsWith("</html>\r\n"));
    }

    void close_onAFullPageFolder_isRefusedAndChangesNothing()
    {
        SmallDisk disk(m_folders->pages(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        createEvent(QStringLiteral("E00003"), "Ann\r\n");
        const QString page = m_folders->pages() + QStringLiteral("E00003.html");
        m_folders->write(page, "<html>open</html>\r\n");
        disk.fill();
        const CloseResult result = CloseEvent(m_settings, QStringLiteral("E00003"));
        QCOMPARE(result.status, CloseResult::Status::Refused);
        QVERIFY(result.report.text.startsWith(QStringLiteral("Event E00003 was not closed.\r")));
        QCOMPARE(m_folders->read(page), QByteArray("<html>open</html>\r\n"));
        QCOMPARE(m_folders->read(work(QStringLiteral("E00003.sc"))), QByteArray("Ann\r\n"));
        QVERIFY(QFile::exists(work(QStringLiteral("E00003.scn"))));
    }

    void counterCheck_onAFullDisk_reportsAndLeavesNoEmptyCounter()
    {
        SmallDisk disk(m_folders->work(), 16);
        ENROLIX_REQUIRE_DISK(disk);
        disk.fill();
        ScriptedPrompter prompter;
        prompter.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::Yes);
        prompter.expect(SettingsMessages::creatingFile(), Testing::DefaultButton{Button::Ok});
        prompter.expect(SettingsMessages::errorCreatingFile(), Testing::DefaultButton{Button::Ok});
        CheckCounterFile(m_settings, prompter);
        ENROLIX_VERIFY_BOXES(prompter);
        QVERIFY(!QFile::exists(m_settings.Counter_File_Path));
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "test_fulldisk.moc"
