#pragma once

#include <QString>

// The [options] and [attendant] sections of the settings file; the mail profiles' keys are in
// mail/ProfileKeys.h.
namespace Enrolix::SettingsKeys {

inline const QString kOptions = QStringLiteral("options");

inline const QString kWorkingFilesDirectory = QStringLiteral("Working_Files_Directory");
inline const QString kHtmlFilePath = QStringLiteral("HTML_File_Path");
inline const QString kHtmlNiceFilePath = QStringLiteral("HTML_Nice_File_Path");
inline const QString kCoordinatorName = QStringLiteral("Training_Coordinator_Name");
inline const QString kCoordinatorExt = QStringLiteral("Training_Coordinator_Ext");
inline const QString kCoordinatorEmail = QStringLiteral("Training_Coordinator_Email_Address");
inline const QString kRegAttend = QStringLiteral("RegAttend");
inline const QString kSecondsWait = QStringLiteral("Seconds_Wait_Between_Email_Processing");
inline const QString kFirstRun = QStringLiteral("FirstRun");
// The heading of every open registration page; edited in the settings file only.
inline const QString kOrganisationName = QStringLiteral("Organisation_Name");

inline const QString kDefaultCoordinatorName = QStringLiteral("Training Coordinator");
inline const QString kDefaultCoordinatorExt = QStringLiteral("Quillmark");
inline const QString kDefaultCoordinatorEmail = QStringLiteral("support@example.com");
inline const QString kDefaultRegAttend = QStringLiteral("registrations@example.com");
inline const QString kDefaultSecondsWait = QStringLiteral("600");
inline const QString kDefaultFirstRun = QStringLiteral("True");
inline const QString kDefaultOrganisationName = QStringLiteral("Training and Development");

// The [attendant] section: rules for the requests the attendant answers, edited in the settings
// file only, so that [options] keeps exactly its keys.
inline const QString kAttendant = QStringLiteral("attendant");
inline const QString kMaxRepliesPerSender = QStringLiteral("max_replies_per_sender");
inline const QString kAttendeeListFor = QStringLiteral("attendee_list_for");
inline const QString kCancelOnlyFromRegisteringAddress = QStringLiteral("cancel_only_from_registering_address");

inline const QString kAttendeeListForAnyone = QStringLiteral("anyone");
inline const QString kAttendeeListForRegistered = QStringLiteral("registered");
inline const QString kAttendeeListForCoordinator = QStringLiteral("coordinator");

inline constexpr int kDefaultMaxRepliesPerSender = 20;

inline const QString kCounterFileName = QStringLiteral("Auto_Counter.txt");

} // namespace Enrolix::SettingsKeys
