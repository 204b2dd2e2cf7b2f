#pragma once

#include "platform/Message.h"

namespace Enrolix::SettingsMessages {

Message noCounterFound();
Message errorNotCorrected();
Message creatingFile();
Message errorCreatingFile();

// The options dialog: each setting's caption and the tooltip of its box, one line each.
// clang-format off
inline const QString kWorkingFolderCaption = QStringLiteral("Working Files Directory:");
inline const QString kWorkingFolderTip = QStringLiteral("system files directory");
inline const QString kPageFolderCaption = QStringLiteral("HTML File Path:");
inline const QString kPageFolderTip = QStringLiteral("Where the registration page will be saved to by default.");
inline const QString kPagePrefixCaption = QStringLiteral("HTML File User Path:");
inline const QString kPagePrefixTip = QStringLiteral("Normally same as HTML File Path.  See help before making changes.");
inline const QString kCoordinatorNameCaption = QStringLiteral("Training Coordinator Name:");
// sic: "apprar" is the wording users already know.
inline const QString kCoordinatorNameTip = QStringLiteral("Name will apprar on registration page");
inline const QString kCoordinatorContactCaption = QStringLiteral("Telephone or Email Contact:");
inline const QString kCoordinatorContactTip = QStringLiteral("Contact information");
inline const QString kAttendantMailboxCaption = QStringLiteral("Attendant Email Address");
inline const QString kAttendantMailboxTip = QStringLiteral("Your email address if you will using your account to process registration or a dedicated account");
inline const QString kIntervalCaption = QStringLiteral("Second Between Checks:");
inline const QString kIntervalTip = QStringLiteral("For automated attendant processing");
// clang-format on

} // namespace Enrolix::SettingsMessages
