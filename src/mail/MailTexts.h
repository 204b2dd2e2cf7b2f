#pragma once

#include <QString>

// The fixed texts shared by every mail the system sends about an event: the attendant's replies
// and the lottery's notifications.
namespace Enrolix::MailTexts {

// Two line breaks, "Event Information:", a line break and the description: the end of every
// mail that tells about an event.
QString withEventInformation(const QString& description);

} // namespace Enrolix::MailTexts
