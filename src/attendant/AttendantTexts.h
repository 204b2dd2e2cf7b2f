#pragma once

#include "attendant/RequestProtocol.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Every fixed text of the attendant: its window, the connection states a pass reports, the
// notices of the service, and the replies it sends.
namespace Enrolix::AttendantTexts {

// The reply of an outcome for the event number as it is to be echoed; see RequestProtocol::replyFor.
RequestProtocol::Reply reply(RequestProtocol::Outcome outcome, const QString& event, const QString& description,
                             const QString& attendees);

// The attendant window.
inline const QString kCaption = QStringLiteral("Enrolix - Automated Processing");
inline const QString kTitle = QStringLiteral("Auto Processing of Email Requests");
inline const QString kRequestsProcessed = QStringLiteral("Requests Processed:");
inline const QString kNoRequestsProcessed = QStringLiteral("No Requests Processed");
// sic: "Faliures" is the wording users already know.
inline const QString kConnectFailures = QStringLiteral("Email Connect Faliures:");
inline const QString kConnectionStatus = QStringLiteral("Connection Status:");
inline const QString kNextConnection = QStringLiteral("Next connection in:");
inline const QString kHide = QStringLiteral("Hide");
inline const QString kStop = QStringLiteral("Stop");
inline const QString kStart = QStringLiteral("Start");
inline const QString kProcessNow = QStringLiteral("Process Now!");
// What assistive technology reads for the countdown's progress bar.
inline const QString kAccessibleCountdown = QStringLiteral("Time to the next mailbox check");

// The connection states a processing pass reports, shown by the window as they stand.
inline const QString kConnecting = QStringLiteral("Connecting...");
inline const QString kConnected = QStringLiteral("Connected");
inline const QString kNotConnected = QStringLiteral("Not Connected");

// The count of failed connections as the window shows it: a blank before the number.
QString failureCount(qint16 failures);

// The desktop notices of enrolix-attendant when its passes keep failing, and when they no longer do.
inline const QString kNoticeApplication = QStringLiteral("Enrolix");
inline const QString kCannotAnswer = QStringLiteral("Enrolix cannot answer requests");
inline const QString kAnswersAgain = QStringLiteral("Enrolix answers requests again");
// A moment as the notices give it, in local time to the minute.
QString noticeTime(const QDateTime& moment);
// The reason of the last failed pass and when a pass last succeeded (or, before any did, when
// the attendant started).
QString cannotAnswerBody(const QString& reason, const std::optional<QDateTime>& lastGood, const QDateTime& started);
QString answersAgainBody(const QDateTime& goodPass, int failedPasses);
// A notice as one line of the log.
QString noticeLogLine(const QString& summary, const QString& body);

} // namespace Enrolix::AttendantTexts
