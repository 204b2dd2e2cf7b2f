#include "events/RegistrationPage.h"

#include "events/RequestSubjects.h"
#include "settings/Settings.h"

namespace Enrolix {
namespace {

QString withBreaks(QString text)
{
    return text.replace(QLatin1Char('\r'), QStringLiteral("</br>"));
}

QString mailLink(const Settings& settings, const QString& subject, const QString& event)
{
    return QStringLiteral("<a href=\"mailto:") + settings.Registration_Attendant_Email + QStringLiteral("?subject=") +
           subject + QStringLiteral("&body=") + event + QStringLiteral("\">");
}

} // namespace

QStringList RegistrationPage::lines(const Settings& settings, const Event& event)
{
    using namespace RequestProtocol;
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<title>Quillmark</title>"),
        QStringLiteral("</head>"),
        QStringLiteral("<BODY bgcolor=\"#003366\" link=\"#FF9900\" vlink=\"#FFFF00\" text=\"#FFFFFF\">"),
        QStringLiteral("<body>"),
        QStringLiteral("<p align=\"center\"><b><font color=\"#FFFFFF\" size=\"7\">") + settings.Organisation_Name +
            QStringLiteral("</font></b></p>"),
        QStringLiteral("<p align=\"center\"><font size=\"5\"><u>Automated Event Registration</u></font></p>"),
        QStringLiteral("<table border=\"1\" width=\"100%\">"),
        QStringLiteral("  <tr>"),
        QStringLiteral("    <td width=\"16%\"><b><font size=\"4\">Event Number</font></b></td>"),
        QStringLiteral("    <td width=\"84%\">") + event.number + QStringLiteral("</td>"),
        QStringLiteral("  </tr>"),
        QStringLiteral("  <tr>"),
        QStringLiteral("    <td width=\"16%\"><font size=\"4\"><b>Event </b></font></td>"),
        QStringLiteral("    <td width=\"84%\">") + withBreaks(event.information) + QStringLiteral("</td>"),
        QStringLiteral("  </tr>"),
        QStringLiteral("  <tr>"),
        QStringLiteral("    <td width=\"16%\"><b><font size=\"4\">Session Date</font></b></td>"),
        QStringLiteral("    <td width=\"84%\">") + withBreaks(event.dates) + QStringLiteral("</td>"),
        QStringLiteral("  </tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<p>To register for this course please click on ") +
            mailLink(settings, kRegisterSubject, event.number) + QStringLiteral("Sign-up for the course.</a>"),
        QStringLiteral("<p>To obtain a list of those currently signed-up for this course click on </a>") +
            mailLink(settings, kAttendeeListSubject, event.number) +
            QStringLiteral("Send me the current list of attendees.</a> "),
        QStringLiteral("<p>To remove your name from the sign-up list for this course click on </a>") +
            mailLink(settings, kCancelSubject, event.number) +
            QStringLiteral("Remove my name from the attendee list.</a>"),
        QStringLiteral("<p>For all options above an E-mail message will be generated for you."),
        QStringLiteral("<b>Please do not modify the E-mail message; simply click on the &quot;Send&quot; "
                       "button.</b>&nbsp;"),
        QStringLiteral("You will receive a response within a couple of minutes via E-mail."),
        QStringLiteral("The selection process will be done by lottery.  If you are selected, an invitation for this "
                       "course will be sent to you via E-mail after the closure of the sign-up period."),
        QStringLiteral("<p>If you are experiencing any difficulties with the registration process,"),
        QStringLiteral("please contact the ") + settings.Training_Coordinator_Name + QStringLiteral(" at ") +
            settings.Training_Coordinator_Ext + QStringLiteral(" </p>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
}

TextFiles::StagedFile RegistrationPage::stage(const QString& path, const Settings& settings, const Event& event)
{
    return TextFiles::StagedFile(path, TextFiles::joinLines(lines(settings, event)));
}

} // namespace Enrolix
