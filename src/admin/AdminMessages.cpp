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

} // namespace Enrolix::AdminMessages
