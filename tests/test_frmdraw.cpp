// The draw window as a coordinator uses it, after registrations came in by mail and the event
// was closed: draw, save, export, send, and send again.
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "gui/AppContext.h"
#include "lottery/LotteryMessages.h"
#include "lottery/frmDraw.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "support/Controls.h"
#include "support/DrawWindow.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;
using Testing::control;

class TestFrmDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void coordinator_drawsTwentyOfFiftySeven_andNotifiesEachOnce()
    {
        TestContext test;
        SignedUpByMail signedUp(test, QStringLiteral("E00021"), QStringLiteral("Colleague"), 57);
        MaildirBackend& mail = signedUp.mail;
        const qsizetype replies = mail.replies().size();

        frmDraw window(test.context);
        QVERIFY(window.listClosedEvents());
        window.show();
        QCOMPARE(rows(control<QListWidget>(window, QStringLiteral("lstClosed"))), QStringList{QStringLiteral("E00021")});
        QCOMPARE(control<QLabel>(window, QStringLiteral("lblSignUps"))->text(), QStringLiteral("57"));
        QVERIFY(!control<QPushButton>(window, QStringLiteral("cmdSend"))->isEnabled());
        control<QLineEdit>(window, QStringLiteral("txtSeats"))->setText(QStringLiteral("20"));
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kDrawKey);
        control<QPushButton>(window, QStringLiteral("cmdDraw"))->click();

        const QStringList expected = recomputed(signedUp.names);
        QCOMPARE(expected.size(), 57);
        QStringList shown;
        for (int i = 0; i < 57; ++i)
            shown << QStringLiteral("%1. %2 - %3").arg(i + 1).arg(expected.at(i),
                                                                 i < 20 ? QStringLiteral("Selected")
                                                                        : QStringLiteral("Waiting list"));
        QCOMPARE(rows(control<QListWidget>(window, QStringLiteral("lstResult"))), shown);

        control<QPushButton>(window, QStringLiteral("cmdSave"))->click();
        const QString drawFile = test.folders.work() + QStringLiteral("E00021.draw.txt");
        QVERIFY(test.folders.read(drawFile).contains("Seats: 20\r\n"));

        test.files.answer = test.folders.root() + QStringLiteral("draw.csv");
        control<QPushButton>(window, QStringLiteral("cmdExport"))->click();
        QCOMPARE(test.files.asked, QStringList{QStringLiteral("Export Draw|E00021-draw.csv")});
        QVERIFY(test.folders.read(test.files.answer).startsWith("\xEF\xBB\xBFRank,Status,Name,Address\r\n1,Selected,"));

        QSignalSpy finished(&window, &frmDraw::sendingFinished);
        test.prompter.expect(LotteryMessages::notificationsSent(20, 37, 0, 0), DefaultButton{Button::Ok});
        control<QPushButton>(window, QStringLiteral("cmdSend"))->click();
        QVERIFY(window.sending());
        QVERIFY(!control<QPushButton>(window, QStringLiteral("cmdBack"))->isEnabled());
        QVERIFY(finished.wait(30000));
        ENROLIX_VERIFY_BOXES(test.prompter);

        QList<QByteArray> sent = mail.replies().mid(replies);
        QCOMPARE(sent.size(), 57);
        QMap<QString, QString> subjectOf;
        for (const QByteArray& raw : sent)
            subjectOf.insert(recipientOf(raw).name, MimeReader::read(raw).subject);
        for (int i = 0; i < 57; ++i)
            QCOMPARE(subjectOf.value(expected.at(i)),
                     i < 20 ? QStringLiteral("Course Invitation") : QStringLiteral("Course Waiting List"));

        test.prompter.expect(LotteryMessages::allAlreadySent(), DefaultButton{Button::Ok});
        control<QPushButton>(window, QStringLiteral("cmdSend"))->click();
        QVERIFY(finished.wait(30000));
        ENROLIX_VERIFY_BOXES(test.prompter);
        QCOMPARE(mail.replies().size(), replies + 57);

        // Another key after the mails went out: refused, the result stays.
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kDrawKey + QLatin1Char('!'));
        test.prompter.expect(LotteryMessages::drawAlreadyNotified(), DefaultButton{Button::Ok});
        control<QPushButton>(window, QStringLiteral("cmdDraw"))->click();
        ENROLIX_VERIFY_BOXES(test.prompter);
        QCOMPARE(rows(control<QListWidget>(window, QStringLiteral("lstResult"))), shown);

        // Opened again later, the window shows the saved draw.
        frmDraw later(test.context);
        QVERIFY(later.listClosedEvents());
        QCOMPARE(control<QLineEdit>(later, QStringLiteral("txtKey"))->text(), kDrawKey);
        QCOMPARE(rows(control<QListWidget>(later, QStringLiteral("lstResult"))), shown);
    }

    void lotteryMenu_followsProcessing_andLeadsToTheDrawAndBack()
    {
        TestContext test;
        Windows windows(test.context);
        frmMain& main = windows.main();
        main.show();
        QStringList menus;
        for (QAction* menu : main.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("&File"), QStringLiteral("&Tools"), QStringLiteral("&Processing"),
                                     QStringLiteral("&Lottery"), QStringLiteral("&Help")}));
        QAction* drawEntry = main.findChild<QAction*>(QStringLiteral("mnuDraw"));
        QVERIFY(drawEntry);
        QCOMPARE(drawEntry->text(), QStringLiteral("&Draw Lottery..."));

        // Nothing closed yet: the box, and the main window stays.
        test.prompter.expect(LotteryMessages::noClosedEvent(), DefaultButton{Button::Ok});
        drawEntry->trigger();
        ENROLIX_VERIFY_BOXES(test.prompter);
        QVERIFY(main.isVisible());

        test.folders.write(test.folders.work() + QStringLiteral("E00003.sc.cl"), "Ann\r\n");
        drawEntry->trigger();
        QVERIFY(windows.draw().isVisible());
        QVERIFY(!main.isVisible());
        control<QPushButton>(windows.draw(), QStringLiteral("cmdBack"))->click();
        QVERIFY(main.isVisible());
        QVERIFY(!windows.draw().isVisible());
        // The frame's close box leads back in the same way.
        drawEntry->trigger();
        QVERIFY(windows.draw().isVisible());
        windows.draw().close();
        QVERIFY(main.isVisible());
        QVERIFY(!windows.draw().isVisible());
        ENROLIX_VERIFY_BOXES(test.prompter);
    }

    void exportSignUpList_ofTheSelectedOpenEvent()
    {
        TestContext test;
        test.folders.write(test.folders.work() + QStringLiteral("E00005.sc"), "Ann Archer\r\n=Bob\r\n");
        test.folders.write(test.folders.work() + QStringLiteral("E00005.scn"), "Safety\r\n");
        test.folders.write(test.folders.work() + QStringLiteral("E00005.sca"), "Ann Archer\tann@example.org\r\n");
        Windows windows(test.context);
        frmMain& main = windows.main();
        main.show();
        QAction* exportEntry = main.findChild<QAction*>(QStringLiteral("mnuExportSignUps"));
        QVERIFY(exportEntry);
        test.prompter.expect(AdminMessages::selectEvent(), DefaultButton{Button::Ok});
        exportEntry->trigger();
        ENROLIX_VERIFY_BOXES(test.prompter);
        QVERIFY(test.files.asked.isEmpty());

        auto* list = control<QListWidget>(main, QStringLiteral("lstEvent"));
        list->setCurrentRow(0);
        test.files.answer = test.folders.root() + QStringLiteral("list.csv");
        exportEntry->trigger();
        QCOMPARE(test.files.asked, QStringList{QStringLiteral("Export Sign-up List|E00005.csv")});
        QCOMPARE(test.folders.read(test.files.answer),
                 QByteArray("\xEF\xBB\xBFName,Address\r\nAnn Archer,ann@example.org\r\n'=Bob,\r\n"));
        ENROLIX_VERIFY_BOXES(test.prompter);
    }

    void withoutClosedEvents_saysSo()
    {
        TestContext test;
        test.folders.write(test.folders.work() + QStringLiteral("E00001.sc"), "Ann\r\n");
        frmDraw window(test.context);
        test.prompter.expect(LotteryMessages::noClosedEvent(), DefaultButton{Button::Ok});
        QVERIFY(!window.listClosedEvents());
        ENROLIX_VERIFY_BOXES(test.prompter);
    }

    void profileThatCannotConnect_marksNothingSent()
    {
        TestContext test;
        test.store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox, QStringLiteral("smtp://127.0.0.1:9"));
        const QString work = test.folders.work();
        test.folders.write(work + QStringLiteral("E00002.sc.cl"), "Ann\r\n");
        test.folders.write(work + QStringLiteral("E00002.sca.cl"), "Ann\tann@example.org\r\n");
        frmDraw window(test.context);
        QVERIFY(window.listClosedEvents());
        control<QLineEdit>(window, QStringLiteral("txtSeats"))->setText(QStringLiteral("1"));
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kDrawKey);
        control<QPushButton>(window, QStringLiteral("cmdDraw"))->click();
        QSignalSpy finished(&window, &frmDraw::sendingFinished);
        control<QPushButton>(window, QStringLiteral("cmdSend"))->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(test.prompter.shown().size(), 1);
        QVERIFY(test.prompter.shown().first().text.startsWith(
            QStringLiteral("The mail profile could not be reached; nothing was sent.\r")));
        QVERIFY(!QFile::exists(work + QStringLiteral("E00002.sent")));
    }
};

QTEST_MAIN(TestFrmDraw)
#include "test_frmdraw.moc"
