// Every fixed text of the catalogues, word for word as coordinators and mail recipients meet it.
// The expected column is written out by hand, so a changed catalogue text fails here.
#include "admin/AdminMessages.h"
#include "attendant/AttendantTexts.h"
#include "attendant/RequestProtocol.h"
#include "events/EventMessages.h"
#include "lottery/LotteryMessages.h"
#include "mail/MailTexts.h"
#include "platform/Message.h"
#include "platform/TextFiles.h"
#include "settings/SettingsMessages.h"
#include "support/Subjects.h"

#include <QtTest>

using namespace Enrolix;

namespace {

const QString kCr = QStringLiteral("\r");
const QString kCrLf = QStringLiteral("\r\n");
// A local time, as the notices give it.
const QDateTime kFriday(QDate(2026, 5, 8), QTime(17, 4, 30));

QString lines(const QStringList& parts)
{
    return parts.join(kCr);
}

} // namespace

class TestTexts : public QObject
{
    Q_OBJECT

    static void row(const char* name, const QString& actual, const char* expected)
    {
        QTest::newRow(name) << actual << QString::fromUtf8(expected);
    }
    static void row(const char* name, const QString& actual, const QString& expected)
    {
        QTest::newRow(name) << actual << expected;
    }
    // A box: its text, its title and its buttons with the default first, as one comparable line.
    static QString box(const Message& message)
    {
        QStringList buttons;
        for (Button button : message.buttons)
            buttons << QString::number(int(button));
        return message.title + QStringLiteral(" | ") + message.text + QStringLiteral(" | ") +
               buttons.join(QLatin1Char(',')) + QStringLiteral(" default ") +
               QString::number(int(message.defaultButton));
    }
    static QString box(const char* title, const QString& text, const QString& buttons)
    {
        return QString::fromUtf8(title) + QStringLiteral(" | ") + text + QStringLiteral(" | ") + buttons;
    }
    // A label as read, without the ampersand that marks its keyboard shortcut.
    static QString shown(QString label) { return label.remove(QLatin1Char('&')); }
    static QString ok(const char* title, const QString& text)
    {
        return box(title, text, QStringLiteral("0 default 0"));
    }

private Q_SLOTS:
    void catalogue_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        // One row a line, however long, so each text reads as the user sees it.
        // clang-format off
        // --- admin: captions
        row("main caption", AdminMessages::kMainCaption, "Enrolix");
        row("no attendees", AdminMessages::kNoAttendees, "No attendees in file.");
        row("menu file", AdminMessages::kMenuFile, "&File");
        row("menu new", AdminMessages::kMenuNew, "&New Event");
        row("menu close", AdminMessages::kMenuClose, "&Close Event");
        row("menu exit", AdminMessages::kMenuExit, "E&xit");
        row("menu tools", AdminMessages::kMenuTools, "&Tools");
        row("menu options", AdminMessages::kMenuOptions, "&Options");
        row("menu startup", AdminMessages::kMenuStartup, "&Startup Screen");
        row("menu processing", AdminMessages::kMenuProcessing, "&Processing");
        row("menu begin", AdminMessages::kMenuBegin, "&Start Auto Processing");
        row("menu help", AdminMessages::kMenuHelp, "&Help");
        row("menu content", AdminMessages::kMenuContent, "&Content");
        row("menu about", AdminMessages::kMenuAbout, "&About");
        row("toolbar 1 tip", AdminMessages::kToolbar[0].toolTip, "Create New Event");
        row("toolbar 1 text", AdminMessages::kToolbar[0].caption, "New Event");
        row("toolbar 2 tip", AdminMessages::kToolbar[1].toolTip, "Close Registration for Event");
        row("toolbar 2 text", AdminMessages::kToolbar[1].caption, "Close Registration");
        row("toolbar 3 tip", AdminMessages::kToolbar[2].toolTip, "Start processing");
        row("toolbar 3 text", AdminMessages::kToolbar[2].caption, "Start Processing");
        row("toolbar 4 tip", AdminMessages::kToolbar[3].toolTip, "Copy Attendees to Clipboard");
        row("toolbar 4 text", AdminMessages::kToolbar[3].caption, "Copy Attendees to Clipboard");
        row("toolbar 5 tip", AdminMessages::kToolbar[4].toolTip, "Help");
        row("toolbar 5 text", AdminMessages::kToolbar[4].caption, "Help");
        row("create caption", AdminMessages::kCreateCaption, "Create New Event");
        row("create heading", AdminMessages::kCreateHeading, "Create New Event");
        row("create instructions", AdminMessages::kCreateInstructions, "To create a new event, enter the event name and dates in the fields below.  A registration page will be automatically created and saved in the default directory.");
        row("create info step", AdminMessages::kCreateInfoStep, "1) Type your event info.");
        row("create dates step", AdminMessages::kCreateDatesStep, "2) Enter the event date(s).");
        row("create step", AdminMessages::kCreateStep, "3) Create the event.");
        row("create button", AdminMessages::kCreateButton, "Click to Create New Event");
        row("create note", AdminMessages::kCreateNote, "Note: Courses that have more than one date must be created as seperate events. The System will not stop you from creating duplicate events!.");
        row("back to admin", AdminMessages::kBackToAdmin, "Back to Admin Panel");
        row("location caption", AdminMessages::kLocationCaption, "New Course");
        row("location heading", AdminMessages::kLocationHeading, "The new registration course address is:");
        row("copy address", AdminMessages::kCopyAddress, "Copy Address to ClipBoard");
        row("back to create", AdminMessages::kBackToCreate, "Back to Create Panel");
        row("sure caption", AdminMessages::kSureCaption, "Close Course");
        row("sure question at design", AdminMessages::kSureQuestion, "Close course to registrations?");
        row("sure reminder", AdminMessages::kSureReminder, "Note: Obtain attendees before closing this course.");
        row("sure warning", AdminMessages::kSureWarning, "This action cannot be undone.");
        row("yes", AdminMessages::kYes, "Yes");
        row("no", AdminMessages::kNo, "No");
        row("options caption", AdminMessages::kOptionsCaption, "Options");
        row("ok", AdminMessages::kOk, "OK");
        row("cancel", AdminMessages::kCancel, "Cancel");
        row("browse", AdminMessages::kBrowse, "Browse");
        row("dir select caption", AdminMessages::kDirSelectCaption, "Select Directory");
        row("welcome caption", AdminMessages::kWelcomeCaption, "Welcome to Enrolix");
        row("welcome title", AdminMessages::kWelcomeTitle, "Enrolix");
        row("welcome heading", AdminMessages::kWelcomeHeading, "Welcome to Event Registration");
        row("welcome text", AdminMessages::kWelcomeText, QStringLiteral("Before creating your first event you ") + "may want to change the default settings.  Select Options from the Tool " + "menu to change the directory where Enrolix will save the " + "registration pages, contact name, etc.");
        row("show at startup", AdminMessages::kShowAtStartup, "Show this screen at startup");
        row("continue", AdminMessages::kContinue, "Continue...");
        row("about description", AdminMessages::kAboutDescription, "App Description");
        row("about disclaimer", AdminMessages::kAboutDisclaimer, "Warning: ...");
        row("system info", AdminMessages::kSystemInfo, "&System Info...");
        row("menu account", AdminMessages::kMenuAccount, "&Mail Account...");
        row("account caption", AdminMessages::kAccountCaption, "Mail Account");
        row("provider", shown(AdminMessages::kProviderLabel), "Provider:");
        row("provider this computer", AdminMessages::kProviders[0], "This computer only (no server)");
        row("provider gmail", AdminMessages::kProviders[1], "Gmail");
        row("provider microsoft", AdminMessages::kProviders[2], "Microsoft 365 / Outlook.com");
        row("provider other", AdminMessages::kProviders[3], "Other IMAP/SMTP server");
        row("address", shown(AdminMessages::kAddressLabel), "Address:");
        row("incoming server", shown(AdminMessages::kIncomingServerLabel), "Incoming server:");
        row("folder", shown(AdminMessages::kFolderLabel), "Folder:");
        row("outgoing server", shown(AdminMessages::kOutgoingServerLabel), "Outgoing server:");
        row("security tls", AdminMessages::kSecurities[0], "TLS");
        row("security starttls", AdminMessages::kSecurities[1], "STARTTLS");
        row("security none", AdminMessages::kSecurities[2], "none");
        row("user name", shown(AdminMessages::kUserLabel), "User name:");
        row("sign-on", shown(AdminMessages::kSignOnLabel), "Sign-on:");
        row("sign-on password", AdminMessages::kSignOns[0], "Password");
        row("sign-on oauth", AdminMessages::kSignOns[1], "OAuth 2.0 (sign in with the browser)");
        row("sign-on command", AdminMessages::kSignOns[2], "Command");
        row("password", shown(AdminMessages::kPasswordLabel), "Password:");
        row("command", shown(AdminMessages::kCommandLabel), "Command:");
        row("client id", shown(AdminMessages::kClientIdLabel), "Client ID:");
        row("client secret", shown(AdminMessages::kClientSecretLabel), "Client secret:");
        row("sign in button", AdminMessages::kSignInButton, "Sign in with Browser");
        row("test button", AdminMessages::kTestButton, "Test Account");
        row("save account", AdminMessages::kSaveButton, "Save");
        row("test results", shown(AdminMessages::kTestResultsLabel), "Test results:");
        row("password kept", AdminMessages::kPasswordKept, "kept in the keyring");
        row("incoming port", AdminMessages::kAccessibleIncomingPort, "Incoming port");
        row("incoming security", AdminMessages::kAccessibleIncomingSecurity, "Incoming security");
        row("outgoing port", AdminMessages::kAccessibleOutgoingPort, "Outgoing port");
        row("outgoing security", AdminMessages::kAccessibleOutgoingSecurity, "Outgoing security");
        row("test results list", AdminMessages::kAccessibleTestResults, "Test results");
        row("step incoming server", AdminMessages::testResult({AccountStep::Kind::IncomingServer, true, {}, 0, {}}), "Incoming server: OK");
        row("step incoming sign-on", AdminMessages::testResult({AccountStep::Kind::IncomingSignOn, true, {}, 0, {}}), "Incoming sign-on: OK");
        row("step folder", AdminMessages::testResult({AccountStep::Kind::Folder, true, QStringLiteral("INBOX"), 3, {}}), "Folder INBOX: OK, 3 unread");
        row("step outgoing server", AdminMessages::testResult({AccountStep::Kind::OutgoingServer, true, {}, 0, {}}), "Outgoing server: OK");
        row("step outgoing sign-on", AdminMessages::testResult({AccountStep::Kind::OutgoingSignOn, true, {}, 0, {}}), "Outgoing sign-on: OK");
        row("step failed", AdminMessages::testResult({AccountStep::Kind::IncomingSignOn, false, {}, 0, QStringLiteral("imap://h:143: sign-on refused")}), "Incoming sign-on: imap://h:143: sign-on refused");
        row("folder failed", AdminMessages::testResult({AccountStep::Kind::Folder, false, QStringLiteral("Archiv"), 0, QStringLiteral("folder missing")}), "Folder Archiv: folder missing");
        row("keyring holds no password", MailTexts::keyringHoldsNoSecret(QStringLiteral("ann")), "the keyring is locked or holds no password for ann");
        row("sign-in expired", MailTexts::kSignInExpired, "the sign-in has expired: sign in again under Tools > Mail Account");
        row("token endpoint answer", MailTexts::tokenEndpointAnswer(QStringLiteral("https://t/token"), 500), "https://t/token: the token endpoint gave no access token (HTTP 500)");
        row("enter address", box(AdminMessages::enterField(AccountForm::Field::Address)), ok("Quillmark", "Please enter the address."));
        row("enter incoming server", box(AdminMessages::enterField(AccountForm::Field::IncomingServer)), ok("Quillmark", "Please enter the incoming server."));
        row("enter folder", box(AdminMessages::enterField(AccountForm::Field::Folder)), ok("Quillmark", "Please enter the folder."));
        row("enter outgoing server", box(AdminMessages::enterField(AccountForm::Field::OutgoingServer)), ok("Quillmark", "Please enter the outgoing server."));
        row("enter user name", box(AdminMessages::enterField(AccountForm::Field::UserName)), ok("Quillmark", "Please enter the user name."));
        row("enter password", box(AdminMessages::enterField(AccountForm::Field::Password)), ok("Quillmark", "Please enter the password."));
        row("enter command", box(AdminMessages::enterField(AccountForm::Field::Command)), ok("Quillmark", "Please enter the command."));
        row("enter client id", box(AdminMessages::enterField(AccountForm::Field::ClientId)), ok("Quillmark", "Please enter the client ID."));
        row("sign in first", box(AdminMessages::enterField(AccountForm::Field::SignIn)), ok("Quillmark", "Please sign in with the browser."));
        row("no keyring", box(AdminMessages::noKeyring()), ok("Quillmark", "No keyring is available; the password will be kept in the settings file, readable by you only."));
        row("keyring refused", box(AdminMessages::keyringRefused(QStringLiteral("locked"))), ok("Quillmark", lines({"The keyring did not take the password; nothing was saved.", "locked"})));
        row("plain beside starttls", box(AdminMessages::plainBesideStartTls()), ok("Quillmark", "Security \"none\" turns STARTTLS off for both servers. Choose \"none\" for both or for neither."));
        row("sign-in addresses missing", box(AdminMessages::signInAddressesMissing()), ok("Quillmark", "The provider's sign-in addresses are not known. Choose Gmail or Microsoft 365 / Outlook.com, or name them in the settings file (oauth_authorize_url, oauth_token_url)."));
        row("signed in", box(AdminMessages::signedIn()), ok("Quillmark", "Signed in. Save keeps the sign-in."));
        row("sign-in failed", box(AdminMessages::signInFailed(QStringLiteral("access_denied"))), ok("Quillmark", lines({"The sign-in did not succeed.", "access_denied"})));
        // --- settings: captions
        row("working folder", SettingsMessages::kWorkingFolderCaption, "Working Files Directory:");
        row("working folder tip", SettingsMessages::kWorkingFolderTip, "system files directory");
        row("page folder", SettingsMessages::kPageFolderCaption, "HTML File Path:");
        row("page folder tip", SettingsMessages::kPageFolderTip, "Where the registration page will be saved to by default.");
        row("page prefix", SettingsMessages::kPagePrefixCaption, "HTML File User Path:");
        row("page prefix tip", SettingsMessages::kPagePrefixTip, "Normally same as HTML File Path.  See help before making changes.");
        row("coordinator", SettingsMessages::kCoordinatorNameCaption, "Training Coordinator Name:");
        row("coordinator tip", SettingsMessages::kCoordinatorNameTip, "Name will apprar on registration page");
        row("contact", SettingsMessages::kCoordinatorContactCaption, "Telephone or Email Contact:");
        row("contact tip", SettingsMessages::kCoordinatorContactTip, "Contact information");
        row("attendant mailbox", SettingsMessages::kAttendantMailboxCaption, "Attendant Email Address");
        row("attendant mailbox tip", SettingsMessages::kAttendantMailboxTip, "Your email address if you will using your account to process registration or a dedicated account");
        row("interval", SettingsMessages::kIntervalCaption, "Second Between Checks:");
        row("interval tip", SettingsMessages::kIntervalTip, "For automated attendant processing");
        // --- the attendant: captions
        row("attendant caption", AttendantTexts::kCaption, "Enrolix - Automated Processing");
        row("attendant title", AttendantTexts::kTitle, "Auto Processing of Email Requests");
        row("requests processed", AttendantTexts::kRequestsProcessed, "Requests Processed:");
        row("no requests processed", AttendantTexts::kNoRequestsProcessed, "No Requests Processed");
        row("connect failures", AttendantTexts::kConnectFailures, "Email Connect Faliures:");
        row("connection status", AttendantTexts::kConnectionStatus, "Connection Status:");
        row("next connection", AttendantTexts::kNextConnection, "Next connection in:");
        row("hide", AttendantTexts::kHide, "Hide");
        row("stop", AttendantTexts::kStop, "Stop");
        row("start", AttendantTexts::kStart, "Start");
        row("process now", AttendantTexts::kProcessNow, "Process Now!");
        row("connecting", AttendantTexts::kConnecting, "Connecting...");
        row("connected", AttendantTexts::kConnected, "Connected");
        row("not connected", AttendantTexts::kNotConnected, "Not Connected");
        // --- the attendant service's lines about watching its inbox
        row("watching IMAP", AttendantTexts::kWatchingImapIdle, "watching: IMAP IDLE");
        row("watching Maildir", AttendantTexts::kWatchingMaildir, "watching: Maildir");
        row("watching nothing", AttendantTexts::watchingNothing(600), "watching: none (the server offers no IDLE), a pass every 600 s");
        row("watch interrupted", AttendantTexts::watchInterrupted(QStringLiteral("imap://h:143: connection lost"), std::chrono::seconds(5)), "watching: interrupted: imap://h:143: connection lost; trying again in 5 s");
        // --- the notices of enrolix-attendant
        row("notice sender", AttendantTexts::kNoticeApplication, "Enrolix");
        row("cannot answer", AttendantTexts::kCannotAnswer, "Enrolix cannot answer requests");
        row("answers again", AttendantTexts::kAnswersAgain, "Enrolix answers requests again");
        // --- texts built around a value
        row("counter holds no number", EventMessages::counterHoldsNoNumber(), "The counter file holds no event number");
        row("no event numbers left", EventMessages::noEventNumbersLeft(), "No event numbers are left");
        row("folder missing", EventMessages::folderMissing(QStringLiteral("/w/")), "The folder /w/ does not exist.");
        row("folder unreadable", EventMessages::folderUnreadable(QStringLiteral("/w/")), "The folder /w/ cannot be read.");
        row("lock folder missing", EventMessages::lockFolderMissing(QStringLiteral("/w")), "the working folder /w does not exist");
        row("lock folder full", EventMessages::lockFolderFull(QStringLiteral("/w")), "the working folder /w is full");
        row("lock folder not writable", EventMessages::lockFolderNotWritable(QStringLiteral("/w")), "the working folder /w cannot be written to");
        row("sure question", AdminMessages::sureQuestion(QStringLiteral("E00003")), "Cancel registration for event E00003 ?");
        row("about caption", AdminMessages::aboutCaption(), "About Quillmark");
        row("version", AdminMessages::versionText(2, 0, 7), "Version 2.0.7");
        row("unread not listed", MailTexts::unreadNotListed(QStringLiteral("imap://h:143/INBOX")), "imap://h:143/INBOX: the list of unread mails could not be read whole");
        row("no next UID", MailTexts::noNextUid(QStringLiteral("imap://h:143/INBOX")), "imap://h:143/INBOX: the server does not say which UID the folder gives next, so its unread mails cannot be listed");
        row("journal unwritable", MailTexts::journalUnwritable(QStringLiteral("/d/j.txt")), "the journal of fetched mails /d/j.txt cannot be written");
        row("maildir missing", MailTexts::maildirMissing(QStringLiteral("/m/")), "maildir:/m/: folder missing");
        row("notice time", AttendantTexts::noticeTime(kFriday), "2026-05-08 17:04");
        row("cannot answer, last good check", AttendantTexts::cannotAnswerBody(QStringLiteral("smtp://h:587: sign-on refused"), kFriday, kFriday.addDays(-1)), "smtp://h:587: sign-on refused\nLast good check: 2026-05-08 17:04.");
        row("cannot answer, none since the start", AttendantTexts::cannotAnswerBody(QStringLiteral("host unreachable"), std::nullopt, kFriday), "host unreachable\nNo good check since the attendant started at 2026-05-08 17:04.");
        row("answers again body", AttendantTexts::answersAgainBody(kFriday.addDays(3), 412), "The check at 2026-05-11 17:04 succeeded after 412 failed checks in a row.");
        row("notice log line", AttendantTexts::noticeLogLine(QStringLiteral("Summary"), QStringLiteral("first\nsecond")), "notice: Summary: first second");
        // --- message boxes under a title, with an OK button that is the default
        row("could not access files", box(AdminMessages::couldNotAccessFiles()), ok("Error", lines({"Could not access configuration files.", "Potential Causes:", "- Network drive not available.", "- You don't have permissions to create files in the specified foler."})));
        row("nothing to copy", box(AdminMessages::nothingToCopy()), ok("Attendees", "Nothing to copy."));
        row("attendees copied", box(AdminMessages::attendeesCopied()), ok("Attendees", "Attendees list placed in clipboard."));
        row("select event", box(AdminMessages::selectEvent()), ok("Quillmark", "Please select event."));
        row("options warning", box(AdminMessages::optionsWarning()), ok("Quillmark", "Changing settings may make application unusable.  Please review the Helpfile for more informaition and make note of current settings before making any changes."));
        row("event no longer open", box(AdminMessages::eventNoLongerOpen(QStringLiteral("E00004"))), ok("Quillmark", "Event E00004 is no longer open: its files were closed, moved or removed since the list was shown. The list has been refreshed."));
        row("provide name and date", box(EventMessages::provideNameAndDate()), ok("Quillmark", "Please provide event name and date."));
        row("create failed", box(EventMessages::createFailed(FileResult{3, QStringLiteral("The folder /w/ does not exist.")})), ok("Error3: The folder /w/ does not exist.", lines({"Failed to create a course file.", "Potential Causes:", "- Network drive not available.", "- You don't have permissions to create files in the specified folder.", "- The directory selected in Options is not available."})));
        row("working folder busy", box(EventMessages::workingFolderBusy()), ok("Quillmark", "The attendant is answering requests in this working folder. Please try again in a moment."));
        row("course remains open", box(AdminMessages::courseRemainsOpen()), ok("Quillmark", "Course will remain open for registration."));
        row("must be numeric", box(AdminMessages::mustBeNumeric()), ok("Quillmark", "Must be numeric value."));
        row("drive not found", box(AdminMessages::driveNotFound()), ok("Quillmark", "Drive not found."));
        row("will see screen", box(AdminMessages::willSeeScreenNextTime()), ok("Quillmark", "You will see this screen next time you start Enrolix"));
        row("can re-enable", box(AdminMessages::canReEnableScreen()), ok("Quillmark", "You can re-enable this screen by selecting StartUp from the Tools Menu."));
        row("system info unavailable", box(AdminMessages::systemInfoUnavailable()), ok("Quillmark", "System Information Is Unavailable At This Time"));
        // --- message boxes with more buttons, or a title built around a failure
        row("no counter found", box(SettingsMessages::noCounterFound()), box("No Auto Counter Found", QStringLiteral("No Autocounter file found! Create?"), QStringLiteral("2,3 default 2")));
        row("error not corrected", box(SettingsMessages::errorNotCorrected()), box("Error not corrected", QStringLiteral("You will not be able to create new events"), QStringLiteral("0,1 default 0")));
        row("creating file", box(SettingsMessages::creatingFile()), box("Creating file", QStringLiteral("A new file will be created."), QStringLiteral("0,1 default 0")));
        row("error creating file", box(SettingsMessages::errorCreatingFile()), box("Error Creating File", QStringLiteral("No access to working files path selected"), QStringLiteral("0,1 default 0")));
        row("draw caption", LotteryMessages::kDrawCaption, "Draw Lottery");
        row("register subject", RequestProtocol::kRegisterSubject, Testing::Subjects::kRegister);
        row("attendee list subject", RequestProtocol::kAttendeeListSubject, Testing::Subjects::kAttendeeList);
        row("cancel subject", RequestProtocol::kCancelSubject, Testing::Subjects::kCancel);
        row("menu lottery", LotteryMessages::kMenuLottery, "&Lottery");
        row("menu draw", LotteryMessages::kMenuDraw, "&Draw Lottery...");
        row("menu export sign-ups", LotteryMessages::kMenuExportSignUps, "&Export Sign-up List...");
        row("draw closed events", LotteryMessages::kClosedEvents, "Closed events");
        row("draw event information", LotteryMessages::kEventInformation, "Event information");
        row("draw sign-ups", LotteryMessages::kSignUps, "Sign-ups:");
        row("draw seats", shown(LotteryMessages::kSeats), "Seats:");
        row("draw key", shown(LotteryMessages::kDrawKey), "Draw key:");
        row("draw button", LotteryMessages::kDraw, "Draw");
        row("save button", LotteryMessages::kSave, "Save");
        row("export button", LotteryMessages::kExport, "Export...");
        row("send button", LotteryMessages::kSend, "Send Notifications");
        row("back button", LotteryMessages::kBack, "Back to Admin Panel");
        row("release button", LotteryMessages::kRelease, "Release Seat");
        row("release name", LotteryMessages::kReleaseName, "Release the seat of the chosen person");
        row("release tip", LotteryMessages::kReleaseTip, "Gives the seat of the chosen person back and moves the first one on the waiting list up.");
        row("draw result", LotteryMessages::kDrawResult, "Draw result");
        row("no closed event", box(LotteryMessages::noClosedEvent()), ok("Quillmark", "There is no closed event to draw."));
        row("seats not whole", box(LotteryMessages::seatsNotWhole()), ok("Quillmark", "Seats must be a whole number from 1 up."));
        row("no draw key", box(LotteryMessages::noDrawKey()), ok("Quillmark", "Please enter the draw key."));
        row("draw already notified", box(LotteryMessages::drawAlreadyNotified()), ok("Quillmark", "Notifications for this draw have been sent; it cannot be drawn again."));
        row("profile unreachable", box(LotteryMessages::profileUnreachable(QStringLiteral("port 9 refused"))), ok("Quillmark", lines({"The mail profile could not be reached; nothing was sent.", "port 9 refused"})));
        row("notifications sent", box(LotteryMessages::notificationsSent(20, 37, 2, 0)), ok("Quillmark", "Notifications sent: 20 invitations, 37 waiting-list mails, 2 without an address."));
        row("notifications partly delivered", box(LotteryMessages::notificationsSent(1, 2, 0, 3)), ok("Quillmark", lines({"Notifications sent: 1 invitations, 2 waiting-list mails, 0 without an address.", "3 could not be delivered now; Send Notifications again to retry them."})));
        row("all already sent", box(LotteryMessages::allAlreadySent()), ok("Quillmark", "All notifications for this draw have already been sent."));
        row("sending stopped", box(LotteryMessages::sendingStopped(4, 1, 0, QStringLiteral("connection lost"))), ok("Quillmark", lines({"Notifications sent: 4 invitations, 1 waiting-list mails, 0 without an address.", "Sending stopped; the others will be sent by the next Send Notifications.", "connection lost"})));
        row("result selected", LotteryMessages::resultRow(3, QStringLiteral("Zoë"), Draw::Status::Selected), "3. Zoë - Selected");
        row("result waiting", LotteryMessages::resultRow(21, QStringLiteral("Ann"), Draw::Status::Waiting), "21. Ann - Waiting list");
        row("result released", LotteryMessages::resultRow(2, QStringLiteral("Bob"), Draw::Status::Released), "2. Bob - Released");
        row("result moved up", LotteryMessages::resultRow(6, QStringLiteral("Cy"), Draw::Status::MovedUp), "6. Cy - Moved up");
        row("status selected", LotteryMessages::status(Draw::Status::Selected), "Selected");
        row("status waiting", LotteryMessages::status(Draw::Status::Waiting), "Waiting");
        row("status released", LotteryMessages::status(Draw::Status::Released), "Released");
        row("status moved up", LotteryMessages::status(Draw::Status::MovedUp), "Moved up");
        row("move released", LotteryMessages::kMoveReleased, "released");
        row("move moved up", LotteryMessages::kMoveMovedUp, "moved up");
        row("release question", box(LotteryMessages::releaseQuestion(QStringLiteral("Zoë Ødegård"))), box("Quillmark", QStringLiteral("Release the seat of Zoë Ødegård?  The first person on the waiting list will be moved up."), QStringLiteral("2,3 default 3")));
        row("nobody waiting", box(LotteryMessages::nobodyWaiting()), ok("Quillmark", "There is nobody left on the waiting list; the seat stays free."));
        row("move not following", LotteryMessages::moveNotFollowing(QStringLiteral("/w/E00002.moves.txt"), 3), "/w/E00002.moves.txt, line 3: this move does not follow from the draw and the moves before it.");
        row("moved-up subject", LotteryMessages::movedUpInvitation(QStringLiteral("E00002"), QStringLiteral("D"), LotteryMessages::contact(QStringLiteral("Training Coordinator"), QStringLiteral("4711"))).subject, "Course Invitation");
        row("moved-up text", LotteryMessages::movedUpInvitation(QStringLiteral("E00002"), QStringLiteral("D"), LotteryMessages::contact(QStringLiteral("Training Coordinator"), QStringLiteral("4711"))).text, "A place has become free in event E00002, and you were next on the waiting list.  This is your invitation to the course.  If you cannot attend, please contact the Training Coordinator at 4711.\r\n\r\nEvent Information:\r\nD");
        row("invitation subject", LotteryMessages::invitation(QStringLiteral("E00002"), QStringLiteral("D"), LotteryMessages::contact(QStringLiteral("Training Coordinator"), QStringLiteral("4711"))).subject, "Course Invitation");
        row("invitation text", LotteryMessages::invitation(QStringLiteral("E00002"), QStringLiteral("D"), LotteryMessages::contact(QStringLiteral("Training Coordinator"), QStringLiteral("4711"))).text, "You have been selected in the lottery for event E00002.  This is your invitation to the course.  If you cannot attend, please contact the Training Coordinator at 4711.\r\n\r\nEvent Information:\r\nD");
        row("waiting subject", LotteryMessages::waitingPlace(QStringLiteral("E00002"), QStringLiteral("D"), 7).subject, "Course Waiting List");
        row("waiting text", LotteryMessages::waitingPlace(QStringLiteral("E00002"), QStringLiteral("D"), 7).text, "The lottery for event E00002 has been drawn.  You were not selected; you are number 7 on the waiting list.  If a place becomes free, you will be contacted.\r\n\r\nEvent Information:\r\nD");
        // clang-format on
    }

    void catalogue()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // The replies for event E00002 with the description D.
    void replies_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("attendees");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");
        using RequestProtocol::Outcome;
        namespace Subjects = Testing::Subjects;
        const QString selection = QStringLiteral("If you are selected, an invitation for this course will be sent to "
                                                 "you via E-mail after the closure of the sign-up period.");
        const QString information = kCrLf + kCrLf + QStringLiteral("Event Information:") + kCrLf + QStringLiteral("D");
        QTest::newRow("registered") << int(Outcome::Registered) << QString() << Subjects::kRegistered
                                    << QStringLiteral(
                                           "Your registration request to event E00002 has been recorded.  ") +
                                           selection + information;
        QTest::newRow("duplicate") << int(Outcome::Duplicate) << QString() << Subjects::kDuplicate
                                   << QStringLiteral("You have submitted a duplicate request for registration to event "
                                                     "E00002.  ") +
                                          selection;
        QTest::newRow("cancelled") << int(Outcome::Cancelled) << QString() << Subjects::kCancelled
                                   << QStringLiteral("Your name has been removed from the sign-up list for event "
                                                     "E00002.") +
                                          kCrLf + QStringLiteral("Thank you.") + information;
        QTest::newRow("not registered")
            << int(Outcome::NotRegistered) << QString() << Subjects::kNotRegistered
            << QStringLiteral(
                   "Your request to remove your name from event E00002 could not be processed.  You were not "
                   "registered for this event.");
        QTest::newRow("attendee list") << int(Outcome::AttendeeList) << QStringLiteral("Ann\r\nBob\r\n")
                                       << Subjects::kAttendees
                                       << QStringLiteral("Current sign-up list for E00002:") + kCrLf + kCrLf +
                                              QStringLiteral("Ann\r\nBob\r\n") + information;
        // Nobody signed up: four line ends before the event information.
        QTest::newRow("empty attendee list")
            << int(Outcome::AttendeeList) << QString() << Subjects::kAttendees
            << QStringLiteral("Current sign-up list for E00002:\r\n\r\n\r\n\r\nEvent Information:\r\nD");
        QTest::newRow("no such event") << int(Outcome::NoSuchEvent) << QString() << Subjects::kNotProcessed
                                       << QStringLiteral("Your request for event E00002 could not be processed.  There "
                                                         "is no open event with this number.");
        QTest::newRow("list for registered only")
            << int(Outcome::ListForRegisteredOnly) << QString() << "Request Not Processed"
            << QStringLiteral("Your request for the attendee list of event E00002 could not be processed.  The list is "
                              "sent to registered participants only.");
        QTest::newRow("list for the coordinator only")
            << int(Outcome::ListForCoordinatorOnly) << QString() << "Request Not Processed"
            << QStringLiteral("Your request for the attendee list of event E00002 could not be processed.  The list is "
                              "sent to the training coordinator only.");
        QTest::newRow("cancellation from another address")
            << int(Outcome::CancellationFromOtherAddress) << QString() << "Cancellation Request Not Processed"
            << QStringLiteral("Your request to be removed from event E00002 could not be processed.  Please send it "
                              "from the address you registered with.");
    }
    void replies()
    {
        QFETCH(int, outcome);
        QFETCH(QString, attendees);
        QFETCH(QString, subject);
        QFETCH(QString, text);
        const RequestProtocol::Reply reply = RequestProtocol::replyFor(
            RequestProtocol::Outcome(outcome), QStringLiteral("E00002"), QStringLiteral("D"), attendees);
        QCOMPARE(reply.subject, subject);
        QCOMPARE(reply.text, text);
    }
};

QTEST_GUILESS_MAIN(TestTexts)
#include "test_texts.moc"
