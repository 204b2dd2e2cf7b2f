#pragma once

#include "lottery/Draw.h"
#include "platform/Message.h"

namespace Enrolix {

// The fixed texts of the draw, the notifications and the exports.
namespace LotteryMessages {

inline const QString kDrawCaption = QStringLiteral("Draw Lottery");
// The draw window's labels, buttons and accessible names.
inline const QString kClosedEventsLabel = QStringLiteral("Closed &events:");
inline const QString kClosedEvents = QStringLiteral("Closed events");
inline const QString kEventInformation = QStringLiteral("Event information");
inline const QString kDrawKeyTip = QStringLiteral("The text announced before closing, typed exactly: every character counts.");
inline const QString kSignUps = QStringLiteral("Sign-ups:");
inline const QString kSeats = QStringLiteral("&Seats:");
inline const QString kDrawKey = QStringLiteral("Draw &key:");
inline const QString kDraw = QStringLiteral("Draw");
inline const QString kSave = QStringLiteral("Save");
inline const QString kExport = QStringLiteral("Export...");
inline const QString kSend = QStringLiteral("Send Notifications");
inline const QString kRelease = QStringLiteral("Release Seat");
inline const QString kReleaseName = QStringLiteral("Release the seat of the chosen person");
inline const QString kReleaseTip =
    QStringLiteral("Gives the seat of the chosen person back and moves the first one on the waiting list up.");
inline const QString kBack = QStringLiteral("Back to Admin Panel");
inline const QString kDrawResultLabel = QStringLiteral("Draw &result:");
inline const QString kDrawResult = QStringLiteral("Draw result");
inline const QString kProgress = QStringLiteral("Notifications sent");
inline const QString kMenuLottery = QStringLiteral("&Lottery");
inline const QString kMenuDraw = QStringLiteral("&Draw Lottery...");
inline const QString kMenuExportSignUps = QStringLiteral("&Export Sign-up List...");
inline const QString kExportSignUpsCaption = QStringLiteral("Export Sign-up List");
inline const QString kExportDrawCaption = QStringLiteral("Export Draw");
inline const QString kCsvFilter = QStringLiteral("CSV files (*.csv)");
inline const QString kSelected = QStringLiteral("Selected");
inline const QString kWaiting = QStringLiteral("Waiting");
inline const QString kWaitingList = QStringLiteral("Waiting list");
inline const QString kReleased = QStringLiteral("Released");
inline const QString kMovedUp = QStringLiteral("Moved up");
// The words of a move in the moves file.
inline const QString kMoveReleased = QStringLiteral("released");
inline const QString kMoveMovedUp = QStringLiteral("moved up");
// Why a run ended early when its window went while it was sending.
inline const QString kSendingAskedToStop = QStringLiteral("sending was asked to stop");

Message noClosedEvent();
Message seatsNotWhole();
Message noDrawKey();
Message drawAlreadyNotified();
Message profileUnreachable(const QString& reason);
// notDelivered: mails the server refused or put off for one recipient, tried again at the next Send.
Message notificationsSent(int invitations, int waiting, int withoutAddress, int notDelivered);
Message allAlreadySent();
// Some were sent, then the mail system was lost; the rest go at the next Send.
Message sendingStopped(int invitations, int waiting, int withoutAddress, const QString& reason);
// Another window or program is sending this draw's notifications right now.
Message sendingElsewhere();
// A file of the draw or an export could not be written or read.
Message fileProblem(const QString& reason);
// Yes/No, No by default: a seat given back is not taken back.
Message releaseQuestion(const QString& name);
Message nobodyWaiting();
// Why the moves file at path is not used: its line (from 1) does not follow from the draw.
QString moveNotFollowing(const QString& path, int line);

// The mail to a drawn person: subject and text. contact is "please contact the " + the
// coordinator's name + " at " + the coordinator's extension.
struct Notification
{
    QString subject;
    QString text;
};
Notification invitation(const QString& event, const QString& description, const QString& contact);
// place: the person's number on the waiting list, from 1.
Notification waitingPlace(const QString& event, const QString& description, int place);
// To the first one waiting when a seat was given back.
Notification movedUpInvitation(const QString& event, const QString& description, const QString& contact);
QString contact(const QString& coordinatorName, const QString& coordinatorExt);

// A status as the draw file and the CSV export write it.
QString status(Draw::Status status);

// The row of a name in the draw window's result list.
QString resultRow(int rank, const QString& name, Draw::Status status);

} // namespace LotteryMessages
} // namespace Enrolix
