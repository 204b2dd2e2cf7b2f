#include "mail/MailTexts.h"

namespace Enrolix::MailTexts {

QString withEventInformation(const QString& description)
{
    const QString crLf = QStringLiteral("\r\n");
    return crLf + crLf + QStringLiteral("Event Information:") + crLf + description;
}

} // namespace Enrolix::MailTexts
