// The inbox watchers of the attendant service on their own: IMAP IDLE on the fixture's Dovecot
// servers, the new/ folder of a Maildir, the certificate a watcher trusts, and the pauses after
// failures, with times short enough that renewals and retries happen within a test.
#include "ProfileMailSessionFactory.h"
#include "mail/ProfileKeys.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingWatchListener.h"
#include "support/ServerBackend.h"
#include "support/SilentServer.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;
using std::chrono::milliseconds;
using Watching = InboxWatcher::Watching;

namespace {

const QString kProfile = SettingsKeys::kMailProfileName;
const WatchTimes kShortTimes{milliseconds(100), milliseconds(200), milliseconds(800)};

QByteArray request()
{
    return requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                       QStringLiteral("Ann"), QStringLiteral("ann@example.org"));
}

} // namespace

class TestInboxWatch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    std::unique_ptr<MemorySettingsStore> m_store;
    std::unique_ptr<ProfileMailSessionFactory> m_factory;
    std::unique_ptr<RecordingWatchListener> m_listener;

    std::unique_ptr<InboxWatcher> watch()
    {
        m_factory = std::make_unique<ProfileMailSessionFactory>(*m_store);
        return m_factory->watch(kProfile, *m_listener, kShortTimes);
    }
    void set(const QString& key, const QString& value) { m_store->write(kProfile, key, value); }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_store = std::make_unique<MemorySettingsStore>();
        m_listener = std::make_unique<RecordingWatchListener>();
    }

    // New mail
    void newMail_isToldAtOnce_data()
    {
        QTest::addColumn<QString>("inbox");
        QTest::addColumn<int>("how");
        QTest::newRow("IMAP, STARTTLS") << QString() << int(Watching::ImapIdle);
        QTest::newRow("IMAP, TLS from the start") << "imaps://127.0.0.1:%1/INBOX" << int(Watching::ImapIdle);
        QTest::newRow("Maildir") << "maildir" << int(Watching::Maildir);
    }
    void newMail_isToldAtOnce()
    {
        QFETCH(QString, inbox);
        QFETCH(int, how);
        std::unique_ptr<MailBackend> backend;
        if (inbox == QLatin1String("maildir"))
            backend = std::make_unique<MaildirBackend>(m_folders->root() + QStringLiteral("mail/"));
        else
            backend = std::make_unique<ServerBackend>(m_folders->root());
        QVERIFY2(backend->problem().isEmpty(), qPrintable(backend->problem()));
        backend->configure(*m_store, kProfile);
        if (inbox.startsWith(QLatin1String("imaps"))) {
            const QString port = static_cast<ServerBackend&>(*backend).value(QStringLiteral("ENROLIX_IMAPS_PORT"));
            set(SettingsKeys::kMailInbox, inbox.arg(port));
        }

        const std::unique_ptr<InboxWatcher> watcher = watch();
        QVERIFY(watcher);
        QTRY_COMPARE(m_listener->watchings(), QList<Watching>{Watching(how)});
        // Making the watch counts as an arrival: mail may have come in before it was made.
        QTRY_COMPARE(m_listener->arrivals(), 1);
        for (int mail = 2; mail <= 3; ++mail) {
            backend->deliver(request());
            QTRY_COMPARE(m_listener->arrivals(), mail);
        }
        // The IDLE renewed every 100 ms all along.
        QVERIFY(m_listener->interruptions().isEmpty());
    }

    void serverWithoutIdle_isToldAndLeftAlone()
    {
        ServerBackend backend(m_folders->root(), ServerBackend::Imap::WithoutIdle);
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        backend.configure(*m_store, kProfile);
        const std::unique_ptr<InboxWatcher> watcher = watch();
        QTRY_COMPARE(m_listener->watchings(), QList<Watching>{Watching::Nothing});
        QCOMPARE(m_listener->arrivals(), 0);
        QVERIFY(m_listener->interruptions().isEmpty());
    }

    // Failures
    void certificateOfAnUnknownAuthority_isNotSignedOnTo_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("port");
        QTest::newRow("STARTTLS") << "imap"
                                  << "ENROLIX_IMAP_PORT";
        QTest::newRow("TLS from the start") << "imaps"
                                            << "ENROLIX_IMAPS_PORT";
    }
    void certificateOfAnUnknownAuthority_isNotSignedOnTo()
    {
        QFETCH(QString, scheme);
        QFETCH(QString, port);
        ServerBackend backend(m_folders->root());
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        backend.configure(*m_store, kProfile);
        const QString inbox = QStringLiteral("%1://127.0.0.1:%2/INBOX").arg(scheme, backend.value(port));
        set(SettingsKeys::kMailInbox, inbox);
        set(SettingsKeys::kMailCaFile, QString());
        const std::unique_ptr<InboxWatcher> watcher = watch();
        QTRY_VERIFY(!m_listener->interruptions().isEmpty());
        QCOMPARE(m_listener->interruptions().first().reason,
                 inbox.section(QLatin1Char('/'), 0, 2) + QStringLiteral(": certificate not trusted"));
        QVERIFY(m_listener->watchings().isEmpty());
        QFile log(backend.value(QStringLiteral("ENROLIX_MAIL_STATE")) + QStringLiteral("/dovecot.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(!log.readAll().contains("Login: user=<" + backend.user().toUtf8() + '>'));
    }

    void failedWatch_isMadeAgainAfterPausesThatDouble()
    {
        int dead = 0;
        {
            const SilentServer closed;
            dead = closed.port();
        }
        set(SettingsKeys::kMailInbox, QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(dead));
        const std::unique_ptr<InboxWatcher> watcher = watch();
        QTRY_VERIFY(m_listener->interruptions().size() >= 5);
        QList<qint64> pauses;
        for (const RecordingWatchListener::Interruption& interruption : m_listener->interruptions().mid(0, 5)) {
            QCOMPARE(interruption.reason, QStringLiteral("imap://127.0.0.1:%1: host unreachable").arg(dead));
            pauses.append(interruption.pause.count());
        }
        QCOMPARE(pauses, (QList<qint64>{200, 400, 800, 800, 800}));
    }

    void missingMaildir_isWatchedOnceItIsThere()
    {
        const QString inbox = m_folders->root() + QStringLiteral("later/");
        set(SettingsKeys::kMailInbox, QStringLiteral("maildir:") + inbox);
        const std::unique_ptr<InboxWatcher> watcher = watch();
        QTRY_VERIFY(!m_listener->interruptions().isEmpty());
        QCOMPARE(m_listener->interruptions().first().reason, QStringLiteral("maildir:%1: folder missing").arg(inbox));
        for (const char* sub : {"tmp", "new", "cur"})
            QVERIFY(QDir().mkpath(inbox + QLatin1String(sub)));
        QTRY_COMPARE(m_listener->watchings(), QList<Watching>{Watching::Maildir});
        // A message written under tmp/ and renamed into new/, as a delivery agent stores it.
        QTRY_COMPARE(m_listener->arrivals(), 1);
        m_folders->write(inbox + QStringLiteral("tmp/1.x"), request());
        QVERIFY(QFile::rename(inbox + QStringLiteral("tmp/1.x"), inbox + QStringLiteral("new/1.x")));
        QTRY_COMPARE(m_listener->arrivals(), 2);
    }
};

QTEST_GUILESS_MAIN(TestInboxWatch)
#include "test_inbox_watch.moc"
