// Creating and closing an event from their windows while another process holds the working
// folder's lock: the click is answered at once and the window stays usable; the event is
// created or closed as soon as the lock is let go, or after the wait the coordinator is told
// and nothing has changed.
#include "admin/Windows.h"
#include "admin/frmCreate.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"
#include "admin/frmSure.h"
#include "events/EventMessages.h"
#include "support/Controls.h"
#include "support/LockHolder.h"
#include "support/OpenEvent.h"
#include "support/PostedClick.h"
#include "support/TestContext.h"

#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace Enrolix;
using Testing::control;
using Testing::postClick;

namespace {

void actionRows()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("create") << QStringLiteral("create");
    QTest::newRow("close") << QStringLiteral("close");
}

} // namespace

class TestWindowLock : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<Windows> m_windows;
    // Another process, holding the working folder's lock from the start of every test.
    std::unique_ptr<Testing::LockHolder> m_other;

    QString work(const char* name) const { return m_test->folders.work() + QString::fromLatin1(name); }

    // The window of the action ("create" or "close") open and filled in; its button.
    QPushButton* open(const QString& action)
    {
        m_windows->showMain();
        if (action == QLatin1String("create")) {
            control<QAction>(m_windows->main(), "mnuNew")->trigger();
            control<QPlainTextEdit>(m_windows->create(), "txtTextBox1")->setPlainText(QStringLiteral("Safety"));
            control<QPlainTextEdit>(m_windows->create(), "txtTextBox2")->setPlainText(QStringLiteral("May 4"));
            return control<QPushButton>(m_windows->create(), "cmdCreate");
        }
        auto* events = control<QListWidget>(m_windows->main(), "lstEvent");
        events->setCurrentItem(events->findItems(QStringLiteral("E00003"), Qt::MatchExactly).value(0));
        control<QAction>(m_windows->main(), "mnuClose")->trigger();
        return control<QPushButton>(m_windows->sure(), "cmdYes");
    }
    // The event created, or closed.
    bool done(const QString& action) const
    {
        if (action == QLatin1String("create"))
            return QFile::exists(Testing::OpenEvent(m_test->folders, QStringLiteral("E00007")).listPath());
        return QFile::exists(Testing::OpenEvent(m_test->folders, QStringLiteral("E00003")).listPath() +
                             QStringLiteral(".cl"));
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<Testing::TestContext>();
        m_test->folders.write(work("Auto_Counter.txt"), "7\r\n");
        Testing::OpenEvent::create(m_test->folders, QStringLiteral("E00003"), "Ann Archer\r\n", "Safety\r\nMay 3\r\n");
        m_windows = std::make_unique<Windows>(m_test->context);
        m_other = std::make_unique<Testing::LockHolder>(QStringLiteral(ENROLIX_LOCK_HOLDER), m_test->folders.work());
        QVERIFY2(m_other->problem().isEmpty(), qPrintable(m_other->problem()));
    }
    void cleanup()
    {
        m_other.reset();
        m_windows.reset();
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        m_test.reset();
    }

    void click_whileAnotherProcessHoldsTheLock_isAnsweredAtOnce_andGoesAheadWhenLetGo_data() { actionRows(); }
    void click_whileAnotherProcessHoldsTheLock_isAnsweredAtOnce_andGoesAheadWhenLetGo()
    {
        QFETCH(QString, action);
        QPushButton* button = open(action);
        const QMap<QString, QByteArray> before = m_test->folders.snapshot();
        QElapsedTimer sinceClick;
        qint64 turnedAfter = -1;
        sinceClick.start();
        postClick(button);
        QTimer::singleShot(0, this, [&] { turnedAfter = sinceClick.elapsed(); });
        QTRY_VERIFY_WITH_TIMEOUT(turnedAfter >= 0, 5000);
        QVERIFY2(turnedAfter < 100, qPrintable(QStringLiteral("answered after %1 ms").arg(turnedAfter)));
        // Waiting, the button takes no second click.
        QVERIFY(!button->isEnabled());
        postClick(button);
        QCoreApplication::processEvents();
        QCOMPARE(m_test->folders.snapshot(), before);

        m_other->letGo();
        QTRY_VERIFY_WITH_TIMEOUT(done(action), 5000);
        QVERIFY(button->isEnabled());
        if (action == QLatin1String("create")) {
            QVERIFY(m_windows->location().isVisible());
            QCOMPARE(m_test->folders.read(work("Auto_Counter.txt")), QByteArray("8\r\n"));
        } else {
            QVERIFY(m_windows->main().isVisible());
            QVERIFY(!QFile::exists(Testing::OpenEvent(m_test->folders, QStringLiteral("E00003")).listPath()));
        }
    }

    void create_leftWhileWaiting_isGivenUp()
    {
        QPushButton* button = open(QStringLiteral("create"));
        button->click();
        QVERIFY(!button->isEnabled());
        control<QPushButton>(m_windows->create(), "cmdReturn")->click();
        QVERIFY(m_windows->main().isVisible());
        // No longer waiting: the next showing offers the button again.
        QVERIFY(button->isEnabled());
        m_other->letGo();
        QVERIFY(!done(QStringLiteral("create")));
    }

    void click_whileTheLockStaysHeld_saysSoAfterTheWait_andChangesNothing_data() { actionRows(); }
    void click_whileTheLockStaysHeld_saysSoAfterTheWait_andChangesNothing()
    {
        QFETCH(QString, action);
        QPushButton* button = open(action);
        const QMap<QString, QByteArray> before = m_test->folders.snapshot();
        m_test->prompter.expect(EventMessages::workingFolderBusy(), Testing::DefaultButton{Button::Ok});

        QElapsedTimer waited;
        waited.start();
        button->click();
        QVERIFY(m_test->prompter.shown().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_test->prompter.shown().size(), 1, 15000);
        QVERIFY2(waited.elapsed() >= 4900, qPrintable(QStringLiteral("told after %1 ms").arg(waited.elapsed())));
        ENROLIX_VERIFY_BOXES(m_test->prompter);
        QCOMPARE(m_test->folders.snapshot(), before);
        QVERIFY(button->isEnabled());
        // The create dialog stays with its texts; the close dialog leads back to the main window.
        if (action == QLatin1String("create"))
            QVERIFY(m_windows->create().isVisible());
        else
            QVERIFY(m_windows->main().isVisible());
    }
};

QTEST_MAIN(TestWindowLock)
#include "test_windowlock.moc"
