// Seats of a notified draw released in the draw window, as a coordinator does when invited
// people cancel: the moves, the moved-up invitations, the export and the files that stay.
#include "admin/Windows.h"
#include "admin/frmMain.h"
#include "lottery/LotteryMessages.h"
#include "lottery/frmDraw.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/TextFiles.h"
#include "support/ClosedEventFiles.h"
#include "support/Controls.h"
#include "support/DrawWindow.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/ScriptRows.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

using namespace Enrolix;
using namespace Enrolix::Testing;
using Testing::control;

namespace {

// Draws the chosen event with these seats and the key (the same draw again changes nothing), and
// sends its notifications; no seat can be released meanwhile.
void drawAndSend(TestContext& test, frmDraw& window, const QString& seats, const Message& sentBox)
{
    control<QLineEdit>(window, "txtSeats")->setText(seats);
    control<QLineEdit>(window, "txtKey")->setText(kDrawKey);
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

class TestFrmDrawRelease : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- seats given back after the draw's mails went out
    void coordinator_releasesThreeSeats_andTheNextThreeWaitingAreInvitedOnce()
    {
        TestContext test;
        SignedUpByMail signedUp(test, QStringLiteral("E00031"), QStringLiteral("Sailor"), 12);
        Windows windows(test.context);
        windows.main().show();
        windows.main().findChild<QAction*>(QStringLiteral("mnuDraw"))->trigger();
        frmDraw& window = windows.draw();
        QVERIFY(window.isVisible());
        auto* result = control<QListWidget>(window, "lstResult");
        auto* release = control<QPushButton>(window, "cmdRelease");
        const QStringList ranked = recomputed(signedUp.names);

        // Nothing can be released before the mails went out, nor a waiting row afterwards.
        control<QLineEdit>(window, "txtSeats")->setText(QStringLiteral("5"));
        control<QLineEdit>(window, "txtKey")->setText(kDrawKey);
        control<QPushButton>(window, "cmdDraw")->click();
        result->setCurrentRow(0);
        QVERIFY(!release->isEnabled());
        drawAndSend(test, window, QStringLiteral("5"), LotteryMessages::notificationsSent(5, 7, 0, 0));
        const QString drawPath = test.folders.work() + QStringLiteral("E00031.draw.txt");
        const QByteArray drawBytes = test.folders.read(drawPath);
        const qsizetype afterDraw = signedUp.mail.replies().size();
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

        const QList<QByteArray> invited = signedUp.mail.replies().mid(afterDraw);
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
            QCOMPARE(csv.at(i + 1), row + QStringList{signedUp.addresses.at(signedUp.names.indexOf(ranked.at(i)))});
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
};

QTEST_MAIN(TestFrmDrawRelease)
#include "test_frmdraw_release.moc"
