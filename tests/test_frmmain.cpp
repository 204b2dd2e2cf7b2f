#include "admin/AdminMessages.h"
#include "admin/AppContext.h"
#include "admin/frmMain.h"
#include "support/TestContext.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

using namespace Enrolix;

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Testing::TestContext> m_test;
    std::unique_ptr<frmMain> m_window;

    void write(const QString& name, const QByteArray& bytes) { m_test->folders.write(m_test->folders.work() + name, bytes); }
    void select(const QString& event)
    {
        const QList<QListWidgetItem*> items = m_window->lstEvent->findItems(event, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        m_window->lstEvent->setCurrentItem(items.first());
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<Testing::TestContext>();
        m_window = std::make_unique<frmMain>(m_test->context);
    }
    void cleanup()
    {
        m_window.reset();
        const QStringList problems = m_test->prompter.problems();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void controls_haveNamesAndAccessibleNames()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Enrolix"));
        for (const char* name : {"lstEvent", "txtName", "txtAttendees"}) {
            QWidget* control = m_window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control, name);
            QVERIFY(!control->accessibleName().isEmpty());
        }
    }

    void show_listsOpenEventsInOrder()
    {
        for (const char* name : {"E00003.sc", "E00001.sc", "E00001.scn", "E00002.sc.cl", "E00002.scn.cl"})
            write(QString::fromLatin1(name), "");
        m_window->show();
        QCOMPARE(m_window->lstEvent->count(), 2);
        QCOMPARE(m_window->lstEvent->item(0)->text(), QStringLiteral("E00001"));
        QCOMPARE(m_window->lstEvent->item(1)->text(), QStringLiteral("E00003"));
        QCOMPARE(m_window->selectedEvent(), QString());
        QCOMPARE(m_window->txtAttendees->toPlainText(), QString());
    }

    void select_showsDescriptionAndList()
    {
        write(QStringLiteral("E00001.sc"), "Ann\r\nBob\r\nCleo\r\n");
        write(QStringLiteral("E00001.scn"), "Safety\r\nMay 4\r\n");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        QCOMPARE(m_window->txtAttendees->toPlainText(), QStringLiteral("Ann\nBob\nCleo\n"));
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Ann\r\nBob\r\nCleo\r\n"));
        QCOMPARE(m_window->txtName->toPlainText(), QStringLiteral("Safety\nMay 4\n"));
        QCOMPARE(m_window->selectedEvent(), QStringLiteral("E00001"));
    }

    void select_emptyRecord_saysNoAttendees_emptyDescription_clearsName()
    {
        write(QStringLiteral("E00001.sc"), "Ann\r\n");
        write(QStringLiteral("E00001.scn"), "First\r\n");
        write(QStringLiteral("E00002.sc"), "");
        write(QStringLiteral("E00002.scn"), "");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        select(QStringLiteral("E00002"));
        QCOMPARE(m_window->txtAttendees->toPlainText(), QStringLiteral("No attendees in file."));
        QCOMPARE(m_window->txtName->toPlainText(), QString());
    }

    void select_readsAgainFromDisk()
    {
        write(QStringLiteral("E00001.sc"), "Ann\r\n");
        write(QStringLiteral("E00002.sc"), "");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        write(QStringLiteral("E00001.sc"), "Ann\r\nBob\r\n");
        select(QStringLiteral("E00002"));
        select(QStringLiteral("E00001"));
        QCOMPARE(m_window->attendeeText(), QStringLiteral("Ann\r\nBob\r\n"));
    }

    void select_vanishedEvent_reportsAndRefreshes()
    {
        write(QStringLiteral("E00001.sc"), "Ann\r\n");
        write(QStringLiteral("E00002.sc"), "");
        m_window->RefreshEventList();
        QVERIFY(QFile::rename(m_test->folders.work() + QStringLiteral("E00001.sc"),
                              m_test->folders.work() + QStringLiteral("E00001.sc.cl")));
        m_test->prompter.expect(AdminMessages::eventNoLongerOpen(QStringLiteral("E00001")));
        select(QStringLiteral("E00001"));
        QCOMPARE(m_window->lstEvent->count(), 1);
        QCOMPARE(m_window->lstEvent->item(0)->text(), QStringLiteral("E00002"));
        QCOMPARE(m_window->selectedEvent(), QString());
    }

    void refresh_missingFolder_showsErrorOnce_keepsList()
    {
        write(QStringLiteral("E00001.sc"), "Ann\r\n");
        m_window->RefreshEventList();
        select(QStringLiteral("E00001"));
        m_test->settings.Working_Files_Directory = m_test->folders.root() + QStringLiteral("unplugged/");
        const Message error = AdminMessages::couldNotAccessFiles();
        QCOMPARE(error.title, QStringLiteral("Error"));
        QCOMPARE(error.text, QStringLiteral("Could not access configuration files.\rPotential Causes:\r- Network drive "
                                            "not available.\r- You don't have permissions to create files in the "
                                            "specified foler."));
        m_test->prompter.expect(error);
        m_window->RefreshEventList();
        QCOMPARE(m_window->lstEvent->count(), 1);
        QCOMPARE(m_window->txtAttendees->toPlainText(), QString());
    }

    void displayBoxes_neverKeepFocus()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        m_window->txtName->setFocus();
        QTRY_VERIFY(m_window->lstEvent->hasFocus());
        m_window->txtAttendees->setFocus();
        QTRY_VERIFY(m_window->lstEvent->hasFocus());
        QTest::mouseClick(m_window->txtName->viewport(), Qt::LeftButton);
        QVERIFY(m_window->lstEvent->hasFocus());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
