// Mail profiles and the Maildir store.
#include "ProfileMailSessionFactory.h"
#include "mail/InFlightJournal.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "platform/DataFolder.h"
#include "platform/mail/MaildirCurIndex.h"
#include "platform/mail/MaildirInbox.h"
#include "platform/mail/MaildirOutbox.h"
#include "settings/SettingsKeys.h"
#include "support/MemorySettingsStore.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Gives a file or folder a modification time the given seconds ago (ahead when negative).
bool backdate(const QString& path, int seconds)
{
    const timespec when{QDateTime::currentSecsSinceEpoch() - seconds, 0};
    const timespec times[2] = {when, when};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

} // namespace

class TestMaildir : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Profiles
    void profile_withoutSection_isEmbeddedMaildirCreatedOnSignOn()
    {
        TestFolders folders;
        MemorySettingsStore store;
        const MailProfile profile = MailProfile::read(store, SettingsKeys::kMailProfileName, {});
        QCOMPARE(profile.inbox,
                 QStringLiteral("maildir:") + folders.root() + QStringLiteral("data/enrolix/mail/inbox"));
        QCOMPARE(profile.outbox,
                 QStringLiteral("maildir:") + folders.root() + QStringLiteral("data/enrolix/mail/outbox"));
        ProfileMailSessionFactory factory(store);
        const std::unique_ptr<MailSession> session = factory.signOn(SettingsKeys::kMailProfileName).session;
        QVERIFY(session);
        QVERIFY(QDir(defaultDataFolder() + QStringLiteral("mail/inbox/new")).exists());
        QVERIFY(session->fetchUnread());
        QCOMPARE(session->count(), 0);
    }

    void profile_typedMaildirMissing_isNotCreatedAndSignOnFails()
    {
        TestFolders folders;
        MemorySettingsStore store;
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                    QStringLiteral("maildir:") + folders.root() + QStringLiteral("nowhere"));
        ProfileMailSessionFactory factory(store);
        QVERIFY(!factory.signOn(SettingsKeys::kMailProfileName).session);
        QVERIFY(!QFileInfo::exists(folders.root() + QStringLiteral("nowhere")));
    }

    void profile_unknownLocation_failsSignOn_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("location");
        QTest::newRow("relative maildir") << "inbox"
                                          << "maildir:relative/path";
        QTest::newRow("unknown scheme") << "inbox"
                                        << "pop3://127.0.0.1/";
        QTest::newRow("unknown outbox") << "outbox"
                                        << "mailto:someone@example.org";
    }
    void profile_unknownLocation_failsSignOn()
    {
        QFETCH(QString, key);
        QFETCH(QString, location);
        TestFolders folders;
        MemorySettingsStore store;
        store.write(SettingsKeys::kMailProfileName, key, location);
        ProfileMailSessionFactory factory(store);
        QVERIFY(!factory.signOn(SettingsKeys::kMailProfileName).session);
    }

    void profile_password_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("resolved");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored") << "s3cret"
                                << "" << true << "s3cret";
        QTest::newRow("command first line") << "ignored"
                                            << "printf 'from keyring\\nsecond\\n'" << true << "from keyring";
        QTest::newRow("command CR LF") << ""
                                       << "printf 'pw\\r\\n'" << true << "pw";
        QTest::newRow("command fails") << ""
                                       << "echo oops; exit 3" << false << "";
    }
    void profile_password()
    {
        QFETCH(QString, password);
        QFETCH(QString, command);
        QFETCH(bool, resolved);
        QFETCH(QString, expected);
        MailProfile profile;
        profile.password = password;
        profile.passwordCommand = command;
        const std::optional<QString> result = profile.resolvePassword();
        QCOMPARE(result.has_value(), resolved);
        if (resolved)
            QCOMPARE(*result, expected);
    }

    void profile_sender_fallsBackToUserThenTheAttendantAddress()
    {
        TestFolders folders;
        MemorySettingsStore store;
        store.set(SettingsKeys::kRegAttend, QStringLiteral("signups@example.org"));
        // The factory hands the attendant mailbox of the options to the profile it reads.
        QCOMPARE(ProfileMailSessionFactory(store).openOutbox(SettingsKeys::kMailProfileName).from,
                 QStringLiteral("signups@example.org"));
        MailProfile profile =
            MailProfile::read(store, SettingsKeys::kMailProfileName, QStringLiteral("signups@example.org"));
        QCOMPARE(profile.sender(), QStringLiteral("signups@example.org"));
        profile.user = QStringLiteral("att@example.org");
        QCOMPARE(profile.sender(), QStringLiteral("att@example.org"));
        profile.from = QStringLiteral("signup@example.org");
        QCOMPARE(profile.sender(), profile.from);
    }

    void profile_smtpConnections_defaultAndBounds_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("connections");
        QTest::newRow("not written") << QString() << 3;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("five") << " 5 " << 5;
        QTest::newRow("none") << "0" << 1;
        QTest::newRow("too many") << "64" << 10;
        QTest::newRow("not a number") << "many" << 3;
    }
    void profile_smtpConnections_defaultAndBounds()
    {
        QFETCH(QString, written);
        QFETCH(int, connections);
        MemorySettingsStore store;
        if (!written.isNull())
            store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailSmtpConnections, written);
        QCOMPARE(MailProfile::read(store, SettingsKeys::kMailProfileName, {}).smtpConnections, connections);
    }

    // Journal of mails in flight
    void journal_pendingAreAddedAndNotRemoved()
    {
        TestFolders folders;
        InFlightJournal journal(QStringLiteral("imap://h/INBOX"), QStringLiteral("ann"));
        QVERIFY(journal.path().startsWith(defaultDataFolder() + QStringLiteral("mail/")));
        QVERIFY(journal.pending().isEmpty());
        QVERIFY(journal.add({QStringLiteral("7"), QStringLiteral("8")}));
        journal.remove({QStringLiteral("7")});
        QVERIFY(journal.add({QStringLiteral("7"), QStringLiteral("9")}));
        journal.remove({QStringLiteral("9")});
        QCOMPARE(journal.pending(), QStringList({QStringLiteral("8"), QStringLiteral("7")}));
        // Another inbox or user has a journal of its own.
        QVERIFY(InFlightJournal(QStringLiteral("imap://h/INBOX"), QStringLiteral("bob")).pending().isEmpty());
        journal.clear();
        QVERIFY(!QFileInfo::exists(journal.path()));
        QVERIFY(journal.pending().isEmpty());
    }

    void journal_recordCutShort_doesNotSwallowTheNext()
    {
        TestFolders folders;
        InFlightJournal journal(QStringLiteral("imap://h/INBOX"), QStringLiteral("ann"));
        QDir().mkpath(QFileInfo(journal.path()).path());
        folders.write(journal.path(), "+3\r\n+4\r\n-3\r\n-");
        QVERIFY(journal.add({QStringLiteral("5")}));
        QCOMPARE(journal.pending(), QStringList({QStringLiteral("4"), QStringLiteral("5")}));
    }

    // Maildir inbox
    void inbox_unreadIsNewAndCurWithoutSeen()
    {
        TestFolders folders;
        const QString box = folders.root() + QStringLiteral("box/");
        MaildirInbox inbox(box, true);
        QVERIFY(inbox.open());
        folders.write(box + QStringLiteral("new/1.a"), "one");
        folders.write(box + QStringLiteral("cur/2.b:2,"), "two");
        folders.write(box + QStringLiteral("cur/3.c:2,RS"), "three");
        folders.write(box + QStringLiteral("cur/4.d:2,F"), "four");
        folders.write(box + QStringLiteral("tmp/5.e"), "half written");
        const std::optional<QStringList> unread = inbox.unread();
        QVERIFY(unread);
        QCOMPARE(unread->size(), 3);
        QVERIFY(unread->contains(QStringLiteral("new/1.a")));
        QVERIFY(unread->contains(QStringLiteral("cur/2.b:2,")));
        QVERIFY(unread->contains(QStringLiteral("cur/4.d:2,F")));
        QCOMPARE(inbox.fetch(QStringLiteral("cur/4.d:2,F")), std::optional<QByteArray>("four"));

        QVERIFY(inbox.markRead(QStringLiteral("new/1.a")));
        QVERIFY(inbox.markRead(QStringLiteral("cur/4.d:2,F")));
        QCOMPARE(filesIn(box + QStringLiteral("new")), QStringList());
        QCOMPARE(filesIn(box + QStringLiteral("cur")),
                 QStringList({QStringLiteral("1.a:2,S"), QStringLiteral("2.b:2,"), QStringLiteral("3.c:2,RS"),
                              QStringLiteral("4.d:2,FS")}));
        QCOMPARE(inbox.unread()->size(), 1);
    }

    void inbox_listsMailFilesOnly_inArrivalOrder()
    {
        TestFolders folders;
        const QString box = folders.root() + QStringLiteral("box/");
        MaildirInbox inbox(box, true);
        QVERIFY(inbox.open());
        // Each mail with the seconds since it arrived.
        for (const auto& [name, age] : {std::pair{"new/1.late", 100},
                                        {"cur/2.early:2,", 300},
                                        {"new/3.tie", 200},
                                        {"new/4.tie", 200},
                                        {"new/.hidden", 400}}) {
            folders.write(box + QLatin1String(name), name);
            QVERIFY(backdate(box + QLatin1String(name), age));
        }
        QVERIFY(QDir().mkpath(box + QStringLiteral("new/5.folder")));
        QVERIFY(QFile::link(box + QStringLiteral("new/1.late"), box + QStringLiteral("cur/6.link:2,")));
        QVERIFY(QFile::link(box + QStringLiteral("nowhere"), box + QStringLiteral("cur/7.broken:2,")));
        // A link counts with the time of the file it leads to; ties go by name.
        QCOMPARE(*inbox.unread(),
                 QStringList({"cur/2.early:2,", "new/3.tie", "new/4.tie", "new/1.late", "cur/6.link:2,"}));
    }

    // cur/ gathers every mail ever read: a pass keeps only its unread names, and reads it again
    // only once its entries changed, as they do when another program changes a flag in place.
    void inbox_curUnchangedSinceThePassBefore_isNotReadAgain()
    {
        TestFolders folders;
        const QString box = folders.root() + QStringLiteral("box/");
        const QString cur = box + QStringLiteral("cur");
        const auto index = std::make_shared<MaildirCurIndex>();
        MaildirInbox first(box, true, index);
        QVERIFY(first.open());
        for (int i = 10; i < 60; ++i)
            folders.write(box + QStringLiteral("cur/%1.read:2,RS").arg(i), "read");
        folders.write(box + QStringLiteral("cur/9.flagged:2,F"), "unread");
        QVERIFY(backdate(cur, 60));
        QCOMPARE(*first.unread(), QStringList({"cur/9.flagged:2,F"}));
        QCOMPARE(index->listings(), 1);
        QCOMPARE(index->kept(), 1);

        MaildirInbox later(box, true, index);
        QCOMPARE(*later.unread(), QStringList({"cur/9.flagged:2,F"}));
        QCOMPARE(index->listings(), 1);

        QVERIFY(QFile::rename(box + QStringLiteral("cur/10.read:2,RS"), box + QStringLiteral("cur/10.read:2,R")));
        const QStringList changed = *later.unread();
        QCOMPARE(changed.size(), 2);
        QVERIFY(changed.contains(QStringLiteral("cur/10.read:2,R")));
        QCOMPARE(index->listings(), 2);
        // A time not well past (here one ahead of the clock) is not relied on: a change within the
        // same tick of the clock would not show, so cur/ is read on every pass until it is older.
        QVERIFY(backdate(cur, -3600));
        QVERIFY(later.unread());
        QVERIFY(later.unread());
        QCOMPARE(index->listings(), 4);

        QVERIFY(backdate(cur, 60));
        QVERIFY(later.unread());
        QVERIFY(later.markRead(QStringLiteral("cur/9.flagged:2,F")));
        QCOMPARE(*later.unread(), QStringList({"cur/10.read:2,R"}));
        QCOMPARE(index->listings(), 6);
        QCOMPARE(index->kept(), 1);
    }

    void inbox_readingChangesNothing()
    {
        TestFolders folders;
        const QString box = folders.root() + QStringLiteral("box/");
        MaildirInbox inbox(box, true);
        QVERIFY(inbox.open());
        folders.write(box + QStringLiteral("new/1.a"), "one");
        QVERIFY(inbox.fetch(QStringLiteral("new/1.a")));
        inbox.leaveUnread(QStringLiteral("new/1.a"));
        QCOMPARE(filesIn(box + QStringLiteral("new")), QStringList({QStringLiteral("1.a")}));
    }

    void inbox_missingFolder_failsToOpenWithoutCreate()
    {
        TestFolders folders;
        MaildirInbox inbox(folders.root() + QStringLiteral("none"), false);
        QVERIFY(!inbox.open());
    }

    // Maildir outbox
    void outbox_storesEachReplyWholeInNew()
    {
        TestFolders folders;
        const QString box = folders.root() + QStringLiteral("out/");
        MaildirOutbox outbox(box, true);
        QCOMPARE(outbox.send(QStringLiteral("a@x"), QStringLiteral("b@y"), "first\r\n"), SendResult::Sent);
        QCOMPARE(outbox.send(QStringLiteral("a@x"), QStringLiteral("b@y"), "second\r\n"), SendResult::Sent);
        const QStringList stored = filesIn(box + QStringLiteral("new"));
        QCOMPARE(stored.size(), 2);
        QCOMPARE(folders.read(box + QStringLiteral("new/") + stored.at(0)), QByteArray("first\r\n"));
        QCOMPARE(folders.read(box + QStringLiteral("new/") + stored.at(1)), QByteArray("second\r\n"));
        QCOMPARE(filesIn(box + QStringLiteral("tmp")), QStringList());
    }

    void outbox_missingTypedFolder_isUnavailable()
    {
        TestFolders folders;
        MaildirOutbox outbox(folders.root() + QStringLiteral("none"), false);
        QCOMPARE(outbox.send(QStringLiteral("a@x"), QStringLiteral("b@y"), "x"), SendResult::Unavailable);
        QVERIFY(outbox.failure().contains(QStringLiteral("folder missing")));
        QVERIFY(!QFileInfo::exists(folders.root() + QStringLiteral("none")));
    }
};

QTEST_GUILESS_MAIN(TestMaildir)
#include "test_maildir.moc"
