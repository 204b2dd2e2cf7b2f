// The draw window as a coordinator uses it, after registrations came in by mail and the event
// was closed: draw, save, export, send, and send again.
#include "admin/AdminMessages.h"
#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "attendant/ProcessingPass.h"
#include "attendant/RequestProtocol.h"
#include "events/EventClosing.h"
#include "gui/AppContext.h"
#include "lottery/LotteryMessages.h"
#include "lottery/frmDraw.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "support/ClosedEventFiles.h"
#include "support/Controls.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/RecordingPassListener.h"
#include "support/ScriptRows.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace Enrolix;
using namespace Enrolix::Testing;
using Testing::control;

namespace {

const QString kKey = QStringLiteral("Lotto of 12 December: 4 9 15 23 38 41");

QStringList rows(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The ranking as anybody checks it: sha256sum of key, line feed and name, sorted in the C locale.
QStringList recomputed(const QStringList& names)
{
    QProcess shell;
    shell.setProcessEnvironment([] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KEY"), kKey);
        return env;
    }());
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"), QStringLiteral("while IFS= read -r n; do printf '%s\\t%s\\n' \"$(printf "
                                                      "'%s\\n%s' \"$KEY\" \"$n\" | sha256sum | cut -c1-64)\" \"$n\"; "
                                                      "done | LC_ALL=C sort | cut -f2")});
    shell.write((names.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    return QString::fromUtf8(shell.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Registration mails from each name, one pass, and the event closed: the files the draw starts from.
void registerByMailAndClose(TestContext& test, MaildirBackend& mail, const QString& event, const QStringList& names,
                            const QStringList& addresses)
{
    test.folders.write(test.folders.work() + event + QStringLiteral(".sc"), "");
    test.folders.write(test.folders.work() + event + QStringLiteral(".scn"), "First aid\r\nJanuary 12\r\n");
    for (qsizetype i = 0; i < names.size(); ++i)
        mail.deliver(requestMail(RequestProtocol::kRegisterSubject, event, names.at(i), addresses.at(i)));
    RecordingPassListener listener;
    ProcessingPass(test.settings, test.mail, listener).run();
    QCOMPARE(mail.unreadCount(), 0);
    QVERIFY(CloseEvent(test.settings, event).closed());
}

// Draws the chosen event with these seats and the key (the same draw again changes nothing), and
// sends its notifications; no seat can be released meanwhile.
void drawAndSend(TestContext& test, frmDraw& window, const QString& seats, const Message& sentBox)
{
    control<QLineEdit>(window, "txtSeats")->setText(seats);
    control<QLineEdit>(window, "txtKey")->setText(kKey);
    control<QPushButton>(window, "cmdDraw")->click();
    QSignalSpy finished(&window, &frmDraw::sendingFinished);
    test.prompter.expect(sentBox, DefaultButton{Button::Ok});
    control<QPushButton>(window, "cmdSend")->click();
    QVERIFY(!control<QPushButton>(window, "cmdRelease")->isEnabled());
    QVERIFY(finished.wait(30000));
    ENROLIX_VERIFY_BOXES(test.prompter);
}

// Releases the seat of the result row as a coordinator does: the row, the button, the question,
// and the box that may follow.
void releaseRow(TestContext& test, frmDraw& window, int row, const QString& name, Button answer = Button::Yes,
                const std::optional<Message>& after = std::nullopt)
{
    control<QListWidget>(window, "lstResult")->setCurrentRow(row);
    auto* release = control<QPushButton>(window, "cmdRelease");
    QVERIFY(release->isEnabled());
    QSignalSpy finished(&window, &frmDraw::releaseFinished);
    test.prompter.expect(LotteryMessages::releaseQuestion(name), DefaultButton{Button::No}, answer);
    if (after)
        test.prompter.expect(*after, DefaultButton{Button::Ok});
    release->click();
    if (answer == Button::Yes) {
        QVERIFY(!release->isEnabled());
        QVERIFY(finished.wait(30000));
    }
    ENROLIX_VERIFY_BOXES(test.prompter);
}

// The result rows that the ranked names with these statuses give.
QStringList resultRows(const QStringList& ranked, const QList<Draw::Status>& statuses)
{
    QStringList shown;
    for (int i = 0; i < ranked.size(); ++i)
        shown << LotteryMessages::resultRow(i + 1, ranked.at(i), statuses.at(i));
    return shown;
}

} // namespace

class TestFrmDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void coordinator_drawsTwentyOfFiftySeven_andNotifiesEachOnce()
    {
        TestContext test;
        MaildirBackend mail(test.folders.root() + QStringLiteral("mail/"));
        mail.configure(test.store, SettingsKeys::kMailProfileName);
        test.folders.write(test.folders.work() + QStringLiteral("E00021.sc"), "");
        test.folders.write(test.folders.work() + QStringLiteral("E00021.scn"), "First aid\r\nJanuary 12\r\n");
        QStringList names;
        for (int i = 1; i <= 57; ++i) {
            names << QStringLiteral("Colleague %1 Ødegård").arg(i);
            mail.deliver(requestMail(RequestProtocol::kRegisterSubject, QStringLiteral("E00021"), names.last(),
                                     QStringLiteral("colleague%1@example.org").arg(i)));
        }
        RecordingPassListener listener;
        ProcessingPass(test.settings, test.mail, listener).run();
        QCOMPARE(mail.unreadCount(), 0);
        QVERIFY(CloseEvent(test.settings, QStringLiteral("E00021")).closed());
        const qsizetype replies = mail.replies().size();

        frmDraw window(test.context);
        QVERIFY(window.listClosedEvents());
        window.show();
        QCOMPARE(rows(control<QListWidget>(window, QStringLiteral("lstClosed"))), QStringList{QStringLiteral("E00021")});
        QCOMPARE(control<QLabel>(window, QStringLiteral("lblSignUps"))->text(), QStringLiteral("57"));
        QVERIFY(!control<QPushButton>(window, QStringLiteral("cmdSend"))->isEnabled());
        control<QLineEdit>(window, QStringLiteral("txtSeats"))->setText(QStringLiteral("20"));
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kKey);
        control<QPushButton>(window, QStringLiteral("cmdDraw"))->click();

        const QStringList expected = recomputed(names);
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
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kKey + QLatin1Char('!'));
        test.prompter.expect(LotteryMessages::drawAlreadyNotified(), DefaultButton{Button::Ok});
        control<QPushButton>(window, QStringLiteral("cmdDraw"))->click();
        ENROLIX_VERIFY_BOXES(test.prompter);
        QCOMPARE(rows(control<QListWidget>(window, QStringLiteral("lstResult"))), shown);

        // Opened again later, the window shows the saved draw.
        frmDraw later(test.context);
        QVERIFY(later.listClosedEvents());
        QCOMPARE(control<QLineEdit>(later, QStringLiteral("txtKey"))->text(), kKey);
        QCOMPARE(rows(control<QListWidget>(later, QStringLiteral("lstResult"))), shown);
    }

    // --- releasing seats
    void coordinator_releasesThreeSeats_andTheNextThreeWaitingAreInvitedOnce()
    {
        TestContext test;
        MaildirBackend mail(test.folders.root() + QStringLiteral("mail/"));
        mail.configure(test.store, SettingsKeys::kMailProfileName);
        QStringList names;
        QStringList addresses;
        for (int i = 1; i <= 12; ++i) {
            names << QStringLiteral("Sailor %1 Ødegård").arg(i);
            addresses << QStringLiteral("sailor%1@example.org").arg(i);
        }
        registerByMailAndClose(test, mail, QStringLiteral("E00031"), names, addresses);
        Windows windows(test.context);
        windows.main().show();
        windows.main().findChild<QAction*>(QStringLiteral("mnuDraw"))->trigger();
        frmDraw& window = windows.draw();
        QVERIFY(window.isVisible());
        auto* result = control<QListWidget>(window, "lstResult");
        auto* release = control<QPushButton>(window, "cmdRelease");
        const QStringList ranked = recomputed(names);

        // Nothing can be released before the mails went out, nor a waiting row afterwards.
        control<QLineEdit>(window, "txtSeats")->setText(QStringLiteral("5"));
        control<QLineEdit>(window, "txtKey")->setText(kKey);
        control<QPushButton>(window, "cmdDraw")->click();
        result->setCurrentRow(0);
        QVERIFY(!release->isEnabled());
        drawAndSend(test, window, QStringLiteral("5"), LotteryMessages::notificationsSent(5, 7, 0, 0));
        const QString drawPath = test.folders.work() + QStringLiteral("E00031.draw.txt");
        const QByteArray drawBytes = test.folders.read(drawPath);
        const qsizetype afterDraw = mail.replies().size();
        result->setCurrentRow(6);
        QVERIFY(!release->isEnabled());

        // Two selected give their seats back: ranks 6 and 7 move up and are invited.
        releaseRow(test, window, 1, ranked.at(1));
        releaseRow(test, window, 3, ranked.at(3));
        using S = Draw::Status;
        const QList<S> twoReleased{S::Selected, S::Released, S::Selected, S::Released, S::Selected, S::MovedUp,
                                   S::MovedUp,  S::Waiting,  S::Waiting,  S::Waiting,  S::Waiting,  S::Waiting};
        QCOMPARE(rows(result), resultRows(ranked, twoReleased));
        // While the mails go out, no seat can be released.
        result->setCurrentRow(0);
        QVERIFY(release->isEnabled());
        drawAndSend(test, window, QStringLiteral("5"), LotteryMessages::notificationsSent(2, 0, 0, 0));
        QVERIFY(release->isEnabled());

        // Rank 6, moved up and invited, cancels too: "No" keeps the seat, "Yes" moves rank 8 up.
        releaseRow(test, window, 5, ranked.at(5), Button::No);
        QCOMPARE(rows(result), resultRows(ranked, twoReleased));
        releaseRow(test, window, 5, ranked.at(5));
        QVERIFY(!release->isEnabled()); // the row now released
        drawAndSend(test, window, QStringLiteral("5"), LotteryMessages::notificationsSent(1, 0, 0, 0));
        drawAndSend(test, window, QStringLiteral("5"), LotteryMessages::allAlreadySent());

        const QList<QByteArray> invited = mail.replies().mid(afterDraw);
        QCOMPARE(invited.size(), 3);
        const LotteryMessages::Notification movedUp = LotteryMessages::movedUpInvitation(
            QStringLiteral("E00031"), QStringLiteral("First aid\r\nJanuary 12\r\n"),
            LotteryMessages::contact(test.settings.Training_Coordinator_Name, test.settings.Training_Coordinator_Ext));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(recipientOf(invited.at(i)).name, ranked.at(5 + i));
            const IncomingMail read = MimeReader::read(invited.at(i));
            QCOMPARE(read.subject, QStringLiteral("Course Invitation"));
            QCOMPARE(read.text, movedUp.text);
        }
        QCOMPARE(test.folders.read(drawPath), drawBytes);

        const QString movesPath = test.folders.work() + QStringLiteral("E00031.moves.txt");
        const QStringList moves = QString::fromUtf8(test.folders.read(movesPath)).split(QStringLiteral("\r\n"));
        QCOMPARE(moves.size(), 6 + 1);
        QVERIFY(moves.last().isEmpty());
        const QList<std::pair<QString, int>> expectedMoves{
            {QStringLiteral("released"), 1}, {QStringLiteral("moved up"), 5}, {QStringLiteral("released"), 3},
            {QStringLiteral("moved up"), 6}, {QStringLiteral("released"), 5}, {QStringLiteral("moved up"), 7}};
        for (int i = 0; i < 6; ++i) {
            const QStringList fields = moves.at(i).split(QLatin1Char('\t'));
            QCOMPARE(fields.size(), 3);
            QVERIFY2(QDateTime::fromString(fields.at(0), Qt::ISODate).isValid() &&
                         fields.at(0).endsWith(QLatin1Char('Z')),
                     qPrintable(fields.at(0)));
            QCOMPARE(fields.mid(1), (QStringList{expectedMoves.at(i).first, ranked.at(expectedMoves.at(i).second)}));
        }

        // The export, a spreadsheet's reading of it, and the statuses worked out from the two
        // files by a script of the test's own all agree.
        const QStringList statuses{QStringLiteral("Selected"), QStringLiteral("Released"), QStringLiteral("Selected"),
                                   QStringLiteral("Released"), QStringLiteral("Selected"), QStringLiteral("Released"),
                                   QStringLiteral("Moved up"), QStringLiteral("Moved up"), QStringLiteral("Waiting"),
                                   QStringLiteral("Waiting"),  QStringLiteral("Waiting"),  QStringLiteral("Waiting")};
        test.files.answer = test.folders.root() + QStringLiteral("draw.csv");
        control<QPushButton>(window, "cmdExport")->click();
        const QList<QStringList> csv = scriptRows(QStringLiteral(ENROLIX_CHECK_CSV), {test.files.answer});
        const QList<QStringList> worked = scriptRows(QStringLiteral(ENROLIX_CHECK_MOVES), {drawPath, movesPath});
        QCOMPARE(csv.size(), 13);
        QCOMPARE(worked.size(), 12);
        QCOMPARE(csv.first(), (QStringList{QStringLiteral("Rank"), QStringLiteral("Status"), QStringLiteral("Name"),
                                           QStringLiteral("Address")}));
        for (int i = 0; i < 12; ++i) {
            const QStringList row{QString::number(i + 1), statuses.at(i), ranked.at(i)};
            QCOMPARE(csv.at(i + 1), row + QStringList{addresses.at(names.indexOf(ranked.at(i)))});
            QCOMPARE(worked.at(i), row);
        }

        // Shown again, the window reads the draw and its moves back.
        control<QPushButton>(window, "cmdBack")->click();
        QVERIFY(!window.isVisible());
        windows.main().findChild<QAction*>(QStringLiteral("mnuDraw"))->trigger();
        QVERIFY(window.isVisible());
        const QList<S> now{S::Selected, S::Released, S::Selected, S::Released, S::Selected, S::Released,
                           S::MovedUp,  S::MovedUp,  S::Waiting,  S::Waiting,  S::Waiting,  S::Waiting};
        QCOMPARE(rows(result), resultRows(ranked, now));
        frmDraw later(test.context);
        QVERIFY(later.listClosedEvents());
        QCOMPARE(rows(control<QListWidget>(later, "lstResult")), resultRows(ranked, now));
        ENROLIX_VERIFY_BOXES(test.prompter);
    }

    void nobodyLeftWaiting_saysSo_andTheSeatStaysFree()
    {
        TestContext test;
        MaildirBackend mail(test.folders.root() + QStringLiteral("mail/"));
        mail.configure(test.store, SettingsKeys::kMailProfileName);
        const QStringList names{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy"),
                                QStringLiteral("Di")};
        writeClosedEvent(test.folders, QStringLiteral("E00032"), names,
                         {QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org"),
                          QStringLiteral("cy@example.org"), QStringLiteral("di@example.org")});
        frmDraw window(test.context);
        QVERIFY(window.listClosedEvents());
        drawAndSend(test, window, QStringLiteral("2"), LotteryMessages::notificationsSent(2, 2, 0, 0));
        const QStringList ranked = recomputed(names);
        const qsizetype afterDraw = mail.replies().size();

        // Rank 3 moves up and gives the seat back before being invited; rank 4 follows.
        releaseRow(test, window, 0, ranked.at(0));
        releaseRow(test, window, 2, ranked.at(2));
        releaseRow(test, window, 1, ranked.at(1), Button::Yes, LotteryMessages::nobodyWaiting());
        using S = Draw::Status;
        auto* result = control<QListWidget>(window, "lstResult");
        QCOMPARE(rows(result), resultRows(ranked, {S::Released, S::Released, S::Released, S::MovedUp}));
        for (int row = 0; row < 3; ++row) {
            result->setCurrentRow(row);
            QVERIFY(!control<QPushButton>(window, "cmdRelease")->isEnabled());
        }
        const QStringList moves =
            TextFiles::readLines(test.folders.work() + QStringLiteral("E00032.moves.txt")).value();
        QCOMPARE(moves.size(), 5);
        QVERIFY(moves.last().endsWith(QStringLiteral("\treleased\t") + ranked.at(1)));

        // Only the one holding the seat now is invited; whoever released theirs gets nothing.
        drawAndSend(test, window, QStringLiteral("2"), LotteryMessages::notificationsSent(1, 0, 0, 0));
        QCOMPARE(mail.replies().size(), afterDraw + 1);
        QCOMPARE(recipientOf(mail.replies().last()).name, ranked.at(3));
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
        control<QLineEdit>(window, QStringLiteral("txtKey"))->setText(kKey);
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
