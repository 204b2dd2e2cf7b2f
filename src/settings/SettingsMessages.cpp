#include "settings/SettingsMessages.h"

namespace Enrolix::SettingsMessages {

Message noCounterFound()
{
    return Message{QStringLiteral("No Auto Counter Found"),
                   QStringLiteral("No Autocounter file found! Create?"),
                   {Button::Yes, Button::No},
                   Button::Yes};
}

Message errorNotCorrected()
{
    return Message{QStringLiteral("Error not corrected"),
                   QStringLiteral("You will not be able to create new events"),
                   {Button::Ok, Button::Cancel},
                   Button::Ok};
}

Message creatingFile()
{
    return Message{QStringLiteral("Creating file"),
                   QStringLiteral("A new file will be created."),
                   {Button::Ok, Button::Cancel},
                   Button::Ok};
}

Message errorCreatingFile()
{
    return Message{QStringLiteral("Error Creating File"),
                   QStringLiteral("No access to working files path selected"),
                   {Button::Ok, Button::Cancel},
                   Button::Ok};
}

} // namespace Enrolix::SettingsMessages
