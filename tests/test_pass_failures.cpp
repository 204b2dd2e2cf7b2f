// How a processing pass meets failures: of the connection, of one mail, of a reply.
#include "attendant/PassStatus.h"
#include "attendant/ProcessingPass.h"
#include "settings/SettingsKeys.h"
#include "support/RecordingPassListener.h"
#include "support/ScriptedMailbox.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

Q_DECLARE_METATYPE(Enrolix::SendResult)

namespace {

IncomingMail request(const QString& subject, const QString& text, const QString& name = QStringLiteral("Ann"))
{
    IncomingMail mail;
    mail.senderName = name;
    mail.senderAddress = QStringLiteral("ann@example.org");
    mail.subject = subject;
    mail.text = text;
    mail.messageId = QStringLiteral("1@example.org");
    return mail;
}

const QString kRegister = QStringLiteral("Register for Event   (Enrolix)");

} // namespace

class TestPassFailures : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFolders> m_folders;
    std::unique_ptr<ScriptedMailbox> m_box;
    std::unique_ptr<RecordingPassListener> m_listener;
    std::unique_ptr<ProcessingPass> m_pass;
    Settings m_settings;

    QString record() const { return m_folders->work() + QStringLiteral("E00012.sc"); }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<TestFolders>();
        m_folders->write(record(), "Bob\r\n");
        m_folders->write(record() + QLatin1Char('n'), "Course\r\nMay 4\r\n");
        m_settings = m_folders->settings();
        m_box = std::make_unique<ScriptedMailbox>();
        m_listener = std::make_unique<RecordingPassListener>();
        m_pass = std::make_unique<ProcessingPass>(m_settings, *m_box, *m_listener);
    }

    // Connection failures
    void signOnFails_countsAndShowsNotConnected()
    {
        m_box->signOnFails = true;
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_pass->run();
        QCOMPARE(m_box->profiles, QStringList({QStringLiteral("MS Exchange Settings")}));
        QCOMPARE(m_listener->statuses, QStringList({PassStatus::kNotConnected}));
        QCOMPARE(m_listener->failures, QList<qint16>({1}));
        QCOMPARE(m_pass->iMAPIErrors(), qint16(1));
        QCOMPARE(m_folders->read(record()), QByteArray("Bob\r\n"));
        m_pass->run();
        QCOMPARE(m_listener->failures, QList<qint16>({1, 2}));
        QCOMPARE(m_pass->iRequestsProcessed(), qint16(0));
    }

    void fetchFails_signsOffAndHandlesNothing()
    {
        m_box->fetchFails = true;
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_pass->run();
        QCOMPARE(m_listener->statuses, QStringList({PassStatus::kConnecting, PassStatus::kNotConnected}));
        QCOMPARE(m_box->signOffs, 1);
        QCOMPARE(m_pass->iMAPIErrors(), qint16(1));
        QVERIFY(m_box->sent.isEmpty());
    }

    void failureThenSuccess_statusShowsConnectedAgain()
    {
        m_box->signOnFails = true;
        m_pass->run();
        m_box->signOnFails = false;
        m_listener->clear();
        m_pass->run();
        QCOMPARE(m_listener->statuses, QStringList({PassStatus::kConnecting, PassStatus::kConnected}));
        QCOMPARE(m_pass->iMAPIErrors(), qint16(1));
    }

    // Replies that are not sent
    void sendResult_decidesWhetherTheMailStaysUnread_data()
    {
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<bool>("unread");
        QTest::addColumn<int>("counted");
        QTest::newRow("sent") << SendResult::Sent << false << 1;
        QTest::newRow("transient failure") << SendResult::Transient << true << 0;
        QTest::newRow("refused for good") << SendResult::Refused << false << 0;
    }
    void sendResult_decidesWhetherTheMailStaysUnread()
    {
        QFETCH(SendResult, result);
        QFETCH(bool, unread);
        QFETCH(int, counted);
        m_box->sendResults = {result};
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_pass->run();
        // The registration stands whatever became of its reply.
        QCOMPARE(m_folders->read(record()), QByteArray("Bob\r\nAnn\r\n"));
        QCOMPARE(m_box->unreadCount(), unread ? 1 : 0);
        QCOMPARE(int(m_pass->iRequestsProcessed()), counted);
        QCOMPARE(int(m_listener->repliesSent.size()), counted);
    }

    void transientFailure_nextPassAnswersAsDuplicate()
    {
        m_box->sendResults = {SendResult::Transient};
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_pass->run();
        m_pass->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, QStringLiteral("Duplicate Registration Request"));
        QCOMPARE(m_folders->read(record()), QByteArray("Bob\r\nAnn\r\n"));
        QCOMPARE(m_box->unreadCount(), 0);
    }

    // One mail failing does not stop the others
    void unreadableMail_staysUnreadAndOthersGoOn()
    {
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Ann")));
        m_box->add(request(kRegister, QStringLiteral("E00012"), QStringLiteral("Carl")));
        m_box->unreadable = {0};
        m_pass->run();
        QCOMPARE(m_folders->read(record()), QByteArray("Bob\r\nCarl\r\n"));
        QCOMPARE(m_box->read, QList<bool>({false, true}));
        QCOMPARE(m_box->sent.size(), 1);
    }

    void missingDescription_isNoOpenEventAndChangesNothing()
    {
        QFile::remove(record() + QLatin1Char('n'));
        m_box->add(request(kRegister, QStringLiteral("E00012")));
        m_pass->run();
        QCOMPARE(m_folders->read(record()), QByteArray("Bob\r\n"));
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().subject, QStringLiteral("Request Not Processed"));
    }

    void recordFileIsAFolder_isNoOpenEvent()
    {
        QDir().mkpath(m_folders->work() + QStringLiteral("E00013.sc"));
        m_folders->write(m_folders->work() + QStringLiteral("E00013.scn"), "x");
        m_box->add(request(kRegister, QStringLiteral("E00013")));
        m_pass->run();
        QCOMPARE(m_box->sent.first().subject, QStringLiteral("Request Not Processed"));
        QVERIFY(QFileInfo(m_folders->work() + QStringLiteral("E00013.sc")).isDir());
    }

    // Replies go to the sender under their display name
    void reply_goesToSenderUnderDisplayName()
    {
        m_box->add(request(QStringLiteral("Request Attendee List   (Enrolix)"), QStringLiteral("E00012"),
                           QStringLiteral("Müller, Zoë")));
        m_pass->run();
        QCOMPARE(m_box->sent.size(), 1);
        QCOMPARE(m_box->sent.first().address, QStringLiteral("ann@example.org"));
        QCOMPARE(m_box->sent.first().name, QStringLiteral("Müller, Zoë"));
        QCOMPARE(m_box->sent.first().index, 0);
    }

    // Counters
    void counters_stopAt32767()
    {
        for (int i = 0; i < 32769; ++i)
            m_box->add(request(kRegister, QStringLiteral("E99999")));
        m_pass->run();
        QCOMPARE(m_pass->iRequestsProcessed(), qint16(32767));
        QCOMPARE(m_listener->repliesSent.last(), qint16(32767));
        QCOMPARE(m_box->unreadCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPassFailures)
#include "test_pass_failures.moc"
