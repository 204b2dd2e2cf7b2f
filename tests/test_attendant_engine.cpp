// The attendant's pass on its worker thread, against a server that accepts the connection and
// never answers: the windows go on answering, clicks take effect when the pass ends, creating
// or closing an event is refused at once while the pass runs, and the windows going end the
// pass at once.
#include "admin/Windows.h"
#include "admin/frmCreate.h"
#include "admin/frmMain.h"
#include "admin/frmSure.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "events/EventMessages.h"
#include "events/WorkingFolderLock.h"
#include "mail/ProfileKeys.h"
#include "support/Controls.h"
#include "support/OpenEvent.h"
#include "support/PostedClick.h"
#include "support/SilentServer.h"
#include "support/TestContext.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;
using namespace Enrolix::Testing;

class TestAttendantEngine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<SilentServer> m_silent;
    std::unique_ptr<Windows> m_windows;

    // A pass under way that holds the working folder until the silent server's answer limit.
    frmAutoAttend& startSilentPass()
    {
        frmAutoAttend& window = m_windows->attendant();
        control<QPushButton>(window, "cmdStart")->click();
        control<QPushButton>(window, "cmdProcess")->click();
        window.countdown().tick();
        return window;
    }
    void waitForThePassToEnd() { QTRY_VERIFY_WITH_TIMEOUT(!m_windows->passRunning(), 30000); }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestContext>();
        m_silent = std::make_unique<SilentServer>();
        QVERIFY(m_silent->port() > 0);
        m_test->store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox,
                            QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(m_silent->port()));
        OpenEvent::create(m_test->folders, QStringLiteral("E00003"), "Ann Archer\r\n", "Safety\r\nMay 4\r\n");
        m_test->folders.write(m_test->folders.work() + QStringLiteral("Auto_Counter.txt"), "7\r\n");
        m_windows = std::make_unique<Windows>(m_test->context);
    }
    void cleanup()
    {
        if (m_windows)
            waitForThePassToEnd();
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_windows.reset();
        m_silent.reset();
        m_test.reset();
    }

    void silentServer_windowAnswersAClickAtOnce_andStopHoldsAfterThePass()
    {
        frmAutoAttend& window = startSilentPass();
        QVERIFY(m_windows->passRunning());
        QElapsedTimer sinceClick;
        qint64 answeredAfter = -1;
        connect(control<QPushButton>(window, "cmdStop"), &QPushButton::clicked, this,
                [&] { answeredAfter = sinceClick.elapsed(); });
        sinceClick.start();
        postClick(control<QPushButton>(window, "cmdStop"));
        QTRY_VERIFY_WITH_TIMEOUT(answeredAfter >= 0, 5000);
        QVERIFY2(answeredAfter < 100, qPrintable(QStringLiteral("answered after %1 ms").arg(answeredAfter)));
        // The pass goes on, and the click waits for its end.
        QVERIFY(m_windows->passRunning());
        QVERIFY(!control<QPushButton>(window, "cmdExit")->isEnabled());

        waitForThePassToEnd();
        QVERIFY(!window.countdown().timerEnabled());
        QVERIFY(control<QPushButton>(window, "cmdStart")->isEnabled());
        QVERIFY(!control<QPushButton>(window, "cmdStop")->isEnabled());
        QVERIFY(control<QPushButton>(window, "cmdExit")->isEnabled());
        QCOMPARE(control<QLineEdit>(window, "Text5")->text(), QStringLiteral("Not Connected"));
        QCOMPARE(control<QLineEdit>(window, "Text4")->text(), QStringLiteral(" 1"));
        QVERIFY2(control<QLineEdit>(window, "Text5")->toolTip().contains(QStringLiteral("did not answer in time")),
                 qPrintable(control<QLineEdit>(window, "Text5")->toolTip()));
    }

    void windowsGoing_duringAPass_endItWithin2Seconds()
    {
        startSilentPass();
        QVERIFY(m_windows->passRunning());
        // The pass has the folder while it waits for the silent server.
        QTRY_VERIFY(QFile::exists(m_test->folders.work() + WorkingFolderLock::kFileName));
        QElapsedTimer timer;
        timer.start();
        m_windows.reset();
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
    }

    void closeDuringAPass_isRefusedAndChangesNothing()
    {
        startSilentPass();
        m_windows->showMain();
        const QList<QListWidgetItem*> items =
            control<QListWidget>(m_windows->main(), "lstEvent")->findItems(QStringLiteral("E00003"), Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        control<QListWidget>(m_windows->main(), "lstEvent")->setCurrentItem(items.first());
        control<QAction>(m_windows->main(), "mnuClose")->trigger();
        m_test->prompter.expect(EventMessages::workingFolderBusy(), Testing::DefaultButton{Button::Ok});
        QElapsedTimer sinceClick;
        sinceClick.start();
        control<QPushButton>(m_windows->sure(), "cmdYes")->click();
        // Told within the click, without waiting for the lock.
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        QVERIFY2(sinceClick.elapsed() < 100, qPrintable(QString::number(sinceClick.elapsed())));
        const OpenEvent event(m_test->folders, QStringLiteral("E00003"));
        QCOMPARE(event.list(), QByteArray("Ann Archer\r\n"));
        QVERIFY(!QFile::exists(event.listPath() + QStringLiteral(".cl")));

        // Once the pass has ended, the same close goes through.
        waitForThePassToEnd();
        control<QListWidget>(m_windows->main(), "lstEvent")
            ->setCurrentItem(control<QListWidget>(m_windows->main(), "lstEvent")
                                 ->findItems(QStringLiteral("E00003"), Qt::MatchExactly)
                                 .first());
        control<QAction>(m_windows->main(), "mnuClose")->trigger();
        control<QPushButton>(m_windows->sure(), "cmdYes")->click();
        QVERIFY(QFile::exists(event.listPath() + QStringLiteral(".cl")));
    }

    void createDuringAPass_isRefusedAndTakesNoNumber()
    {
        startSilentPass();
        m_windows->showMain();
        control<QAction>(m_windows->main(), "mnuNew")->trigger();
        frmCreate& dialog = m_windows->create();
        control<QPlainTextEdit>(dialog, "txtTextBox1")->setPlainText(QStringLiteral("Safety"));
        control<QPlainTextEdit>(dialog, "txtTextBox2")->setPlainText(QStringLiteral("May 4"));
        m_test->prompter.expect(EventMessages::workingFolderBusy(), Testing::DefaultButton{Button::Ok});
        QElapsedTimer sinceClick;
        sinceClick.start();
        control<QPushButton>(dialog, "cmdCreate")->click();
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        QVERIFY2(sinceClick.elapsed() < 100, qPrintable(QString::number(sinceClick.elapsed())));
        QVERIFY(control<QPushButton>(dialog, "cmdCreate")->isEnabled());
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_test->folders.read(m_test->folders.work() + QStringLiteral("Auto_Counter.txt")),
                 QByteArray("7\r\n"));
        QVERIFY(!QFile::exists(OpenEvent(m_test->folders, QStringLiteral("E00007")).listPath()));
    }
};

QTEST_MAIN(TestAttendantEngine)
#include "test_attendant_engine.moc"
