#pragma once

#include "mail/AccountForm.h"
#include "mail/AccountStep.h"
#include "platform/Message.h"

#include <array>

namespace Enrolix::AdminMessages {

// The working folder could not be listed.
Message couldNotAccessFiles();

// The selected event's files are gone since the list was last refreshed.
Message eventNoLongerOpen(const QString& event);

// The welcome screen's "Continue..." with the box ticked, and unticked.
Message willSeeScreenNextTime();
Message canReEnableScreen();

Message systemInfoUnavailable();

// The copy command of the toolbar.
Message nothingToCopy();
Message attendeesCopied();

// The close command with no event selected.
Message selectEvent();

// The close dialog answered No.
Message courseRemainsOpen();

// Shown over the options dialog when it is opened.
Message optionsWarning();

// The check interval is no number.
Message mustBeNumeric();

// The directory picker could not open the chosen drive.
Message driveNotFound();

// The account dialog's Save or Test with a required field empty.
Message enterField(AccountForm::Field field);
// Save without a keyring on the session bus: the secret goes into the settings file.
Message noKeyring();
// The keyring refused the secret; nothing was saved.
Message keyringRefused(const QString& reason);
// A plain connection (none) beside STARTTLS.
Message plainBesideStartTls();
// Sign in with Browser for a provider whose sign-in addresses the profile does not name.
Message signInAddressesMissing();
Message signedIn();
Message signInFailed(const QString& reason);

// --- captions of the windows and their controls

// One line of the account dialog's test results.
QString testResult(const AccountStep& step);

// The close dialog's question about one event, with its blank before the question mark.
QString sureQuestion(const QString& event);
// The about box's caption: "About " and the application title.
QString aboutCaption();
// "Version " and the three parts, as in Version 2.0.7.
QString versionText(int major, int minor, int revision);

// The toolbar's buttons from the left: the tooltip, then the second text.
struct ToolbarTexts
{
    QString toolTip;
    QString caption;
};
inline const std::array<ToolbarTexts, 5> kToolbar{{
    {QStringLiteral("Create New Event"), QStringLiteral("New Event")},
    {QStringLiteral("Close Registration for Event"), QStringLiteral("Close Registration")},
    {QStringLiteral("Start processing"), QStringLiteral("Start Processing")},
    {QStringLiteral("Copy Attendees to Clipboard"), QStringLiteral("Copy Attendees to Clipboard")},
    {QStringLiteral("Help"), QStringLiteral("Help")},
}};

// One line each, however long: a text reads here exactly as the user sees it.
// clang-format off
// The main window.
inline const QString kMainCaption = QStringLiteral("Enrolix");
inline const QString kNoAttendees = QStringLiteral("No attendees in file.");
inline const QString kMenuFile = QStringLiteral("&File");
inline const QString kMenuNew = QStringLiteral("&New Event");
inline const QString kMenuClose = QStringLiteral("&Close Event");
inline const QString kMenuExit = QStringLiteral("E&xit");
inline const QString kMenuTools = QStringLiteral("&Tools");
inline const QString kMenuOptions = QStringLiteral("&Options");
inline const QString kMenuStartup = QStringLiteral("&Startup Screen");
inline const QString kMenuProcessing = QStringLiteral("&Processing");
inline const QString kMenuBegin = QStringLiteral("&Start Auto Processing");
inline const QString kMenuHelp = QStringLiteral("&Help");
inline const QString kMenuContent = QStringLiteral("&Content");
inline const QString kMenuAbout = QStringLiteral("&About");
// The create dialog and the address window.
inline const QString kCreateCaption = QStringLiteral("Create New Event");
inline const QString kCreateHeading = QStringLiteral("Create New Event");
inline const QString kCreateInstructions = QStringLiteral("To create a new event, enter the event name and dates in the fields below.  A registration page will be automatically created and saved in the default directory.");
inline const QString kCreateInfoStep = QStringLiteral("1) Type your event info.");
inline const QString kCreateDatesStep = QStringLiteral("2) Enter the event date(s).");
inline const QString kCreateStep = QStringLiteral("3) Create the event.");
inline const QString kCreateButton = QStringLiteral("Click to Create New Event");
// sic: "seperate" is the wording users already know.
inline const QString kCreateNote = QStringLiteral("Note: Courses that have more than one date must be created as seperate events. The System will not stop you from creating duplicate events!.");
inline const QString kBackToAdmin = QStringLiteral("Back to Admin Panel");
inline const QString kLocationCaption = QStringLiteral("New Course");
inline const QString kLocationHeading = QStringLiteral("The new registration course address is:");
inline const QString kCopyAddress = QStringLiteral("Copy Address to ClipBoard");
inline const QString kBackToCreate = QStringLiteral("Back to Create Panel");
// The close dialog.
inline const QString kSureCaption = QStringLiteral("Close Course");
inline const QString kSureQuestion = QStringLiteral("Close course to registrations?");
inline const QString kSureReminder = QStringLiteral("Note: Obtain attendees before closing this course.");
inline const QString kSureWarning = QStringLiteral("This action cannot be undone.");
inline const QString kYes = QStringLiteral("Yes");
inline const QString kNo = QStringLiteral("No");
// The options dialog and the directory picker.
inline const QString kOptionsCaption = QStringLiteral("Options");
inline const QString kOk = QStringLiteral("OK");
inline const QString kCancel = QStringLiteral("Cancel");
inline const QString kBrowse = QStringLiteral("Browse");
inline const QString kDirSelectCaption = QStringLiteral("Select Directory");
// The welcome screen.
inline const QString kWelcomeCaption = QStringLiteral("Welcome to Enrolix");
inline const QString kWelcomeTitle = QStringLiteral("Enrolix");
inline const QString kWelcomeHeading = QStringLiteral("Welcome to Event Registration");
inline const QString kWelcomeText = QStringLiteral("Before creating your first event you may want to change the default settings.  Select Options from the Tool menu to change the directory where Enrolix will save the registration pages, contact name, etc.");
inline const QString kShowAtStartup = QStringLiteral("Show this screen at startup");
inline const QString kContinue = QStringLiteral("Continue...");
// The about box.
inline const QString kAboutDescription = QStringLiteral("App Description");
inline const QString kAboutDisclaimer = QStringLiteral("Warning: ...");
inline const QString kSystemInfo = QStringLiteral("&System Info...");

// The account dialog.
inline const QString kMenuAccount = QStringLiteral("&Mail Account...");
inline const QString kAccountCaption = QStringLiteral("Mail Account");
inline const QString kProviderLabel = QStringLiteral("&Provider:");
inline const std::array<QString, 4> kProviders{QStringLiteral("This computer only (no server)"), QStringLiteral("Gmail"), QStringLiteral("Microsoft 365 / Outlook.com"), QStringLiteral("Other IMAP/SMTP server")};
inline const QString kAddressLabel = QStringLiteral("&Address:");
inline const QString kIncomingServerLabel = QStringLiteral("&Incoming server:");
inline const QString kFolderLabel = QStringLiteral("&Folder:");
inline const QString kOutgoingServerLabel = QStringLiteral("&Outgoing server:");
inline const std::array<QString, 3> kSecurities{QStringLiteral("TLS"), QStringLiteral("STARTTLS"), QStringLiteral("none")};
inline const QString kUserLabel = QStringLiteral("&User name:");
inline const QString kSignOnLabel = QStringLiteral("Sig&n-on:");
inline const std::array<QString, 3> kSignOns{QStringLiteral("Password"), QStringLiteral("OAuth 2.0 (sign in with the browser)"), QStringLiteral("Command")};
inline const QString kPasswordLabel = QStringLiteral("Pass&word:");
inline const QString kCommandLabel = QStringLiteral("Co&mmand:");
inline const QString kClientIdLabel = QStringLiteral("C&lient ID:");
inline const QString kClientSecretLabel = QStringLiteral("Client s&ecret:");
inline const QString kSignInButton = QStringLiteral("Sign in with Browser");
inline const QString kTestButton = QStringLiteral("Test Account");
inline const QString kSaveButton = QStringLiteral("Save");
inline const QString kTestResultsLabel = QStringLiteral("Test re&sults:");
inline const QString kPasswordKept = QStringLiteral("kept in the keyring");

// Names that assistive technology reads for controls without a caption of their own.
inline const QString kAccessibleAppIcon = QStringLiteral("Application icon");
inline const QString kAccessibleDrive = QStringLiteral("Drive");
inline const QString kAccessibleFolders = QStringLiteral("Folders");
inline const QString kAccessibleWelcomePicture = QStringLiteral("Welcome illustration");
inline const QString kAccessibleOpenEvents = QStringLiteral("Open events");
inline const QString kAccessibleDescription = QStringLiteral("Event description");
inline const QString kAccessibleSignUps = QStringLiteral("Sign-up list");
inline const QString kToolbarName = QStringLiteral("Commands");
inline const QString kAccessibleIncomingPort = QStringLiteral("Incoming port");
inline const QString kAccessibleIncomingSecurity = QStringLiteral("Incoming security");
inline const QString kAccessibleOutgoingPort = QStringLiteral("Outgoing port");
inline const QString kAccessibleOutgoingSecurity = QStringLiteral("Outgoing security");
inline const QString kAccessibleTestResults = QStringLiteral("Test results");
// clang-format on

} // namespace Enrolix::AdminMessages
