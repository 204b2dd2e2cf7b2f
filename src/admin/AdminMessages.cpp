#include "admin/AdminMessages.h"

#include <QStringList>

namespace Enrolix::AdminMessages {

Message couldNotAccessFiles()
{
    // sic: "foler" is the wording users already know.
    const QStringList lines{QStringLiteral("Could not access configuration files."),
                            QStringLiteral("Potential Causes:"), QStringLiteral("- Network drive not available."),
                            QStringLiteral("- You don't have permissions to create files in the specified foler.")};
    return Message{QStringLiteral("Error"), lines.join(QLatin1Char('\r')), {Button::Ok}, Button::Ok};
}

Message eventNoLongerOpen(const QString& event)
{
    return plainMessage(QStringLiteral("Event %1 is no longer open: its files were closed, moved or removed since the "
                                       "list was shown. The list has been refreshed.")
                            .arg(event));
}

Message willSeeScreenNextTime()
{
    return plainMessage(QStringLiteral("You will see this screen next time you start Enrolix"));
}

Message canReEnableScreen()
{
    return plainMessage(QStringLiteral("You can re-enable this screen by selecting StartUp from the Tools Menu."));
}

Message systemInfoUnavailable()
{
    return plainMessage(QStringLiteral("System Information Is Unavailable At This Time"));
}

Message nothingToCopy()
{
    return Message{QStringLiteral("Attendees"), QStringLiteral("Nothing to copy."), {Button::Ok}, Button::Ok};
}

Message attendeesCopied()
{
    return Message{
        QStringLiteral("Attendees"), QStringLiteral("Attendees list placed in clipboard."), {Button::Ok}, Button::Ok};
}

Message selectEvent()
{
    return plainMessage(QStringLiteral("Please select event."));
}

Message courseRemainsOpen()
{
    return plainMessage(QStringLiteral("Course will remain open for registration."));
}

Message optionsWarning()
{
    // sic: "informaition" is the wording users already know.
    return plainMessage(QStringLiteral("Changing settings may make application unusable.  Please review the Helpfile "
                                       "for more informaition and make note of current settings before making any "
                                       "changes."));
}

Message mustBeNumeric()
{
    return plainMessage(QStringLiteral("Must be numeric value."));
}

Message driveNotFound()
{
    return plainMessage(QStringLiteral("Drive not found."));
}

QString sureQuestion(const QString& event)
{
    return QStringLiteral("Cancel registration for event ") + event + QStringLiteral(" ?");
}

QString aboutCaption()
{
    return QStringLiteral("About ") + kApplicationTitle;
}

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

Message enterField(AccountForm::Field field)
{
    using Field = AccountForm::Field;
    switch (field) {
    case Field::Address:
        return plainMessage(QStringLiteral("Please enter the address."));
    case Field::IncomingServer:
        return plainMessage(QStringLiteral("Please enter the incoming server."));
    case Field::Folder:
        return plainMessage(QStringLiteral("Please enter the folder."));
    case Field::OutgoingServer:
        return plainMessage(QStringLiteral("Please enter the outgoing server."));
    case Field::UserName:
        return plainMessage(QStringLiteral("Please enter the user name."));
    case Field::Password:
        return plainMessage(QStringLiteral("Please enter the password."));
    case Field::Command:
        return plainMessage(QStringLiteral("Please enter the command."));
    case Field::ClientId:
        return plainMessage(QStringLiteral("Please enter the client ID."));
    case Field::SignIn:
        break;
    }
    return plainMessage(QStringLiteral("Please sign in with the browser."));
}

Message noKeyring()
{
    return plainMessage(QStringLiteral(
        "No keyring is available; the password will be kept in the settings file, readable by you only."));
}

Message keyringRefused(const QString& reason)
{
    return plainMessage(QStringLiteral("The keyring did not take the password; nothing was saved.\r") + reason);
}

Message plainBesideStartTls()
{
    return plainMessage(
        QStringLiteral("Security \"none\" turns STARTTLS off for both servers. Choose \"none\" for both "
                       "or for neither."));
}

Message signInAddressesMissing()
{
    return plainMessage(
        QStringLiteral("The provider's sign-in addresses are not known. Choose Gmail or Microsoft 365 / "
                       "Outlook.com, or name them in the settings file (oauth_authorize_url, "
                       "oauth_token_url)."));
}

Message signedIn()
{
    return plainMessage(QStringLiteral("Signed in. Save keeps the sign-in."));
}

Message signInFailed(const QString& reason)
{
    return plainMessage(QStringLiteral("The sign-in did not succeed.\r") + reason);
}

QString testResult(const AccountStep& step)
{
    using Kind = AccountStep::Kind;
    QString name;
    switch (step.kind) {
    case Kind::IncomingServer:
        name = QStringLiteral("Incoming server");
        break;
    case Kind::IncomingSignOn:
        name = QStringLiteral("Incoming sign-on");
        break;
    case Kind::Folder:
        name = QStringLiteral("Folder ") + step.folder;
        break;
    case Kind::OutgoingServer:
        name = QStringLiteral("Outgoing server");
        break;
    case Kind::OutgoingSignOn:
        name = QStringLiteral("Outgoing sign-on");
        break;
    }
    if (!step.ok)
        return name + QStringLiteral(": ") + step.reason;
    if (step.kind == Kind::Folder)
        return name + QStringLiteral(": OK, %1 unread").arg(step.unread);
    return name + QStringLiteral(": OK");
}

} // namespace Enrolix::AdminMessages
