#include "events/EventMessages.h"

#include "platform/TextFiles.h"

#include <QStringList>

namespace Enrolix::EventMessages {

Message provideNameAndDate()
{
    return plainMessage(QStringLiteral("Please provide event name and date."));
}

Message createFailed(const FileResult& failure)
{
    const QStringList lines{QStringLiteral("Failed to create a course file."), QStringLiteral("Potential Causes:"),
                            QStringLiteral("- Network drive not available."),
                            QStringLiteral("- You don't have permissions to create files in the specified folder."),
                            QStringLiteral("- The directory selected in Options is not available.")};
    return Message{QStringLiteral("Error") + QString::number(failure.code) + QStringLiteral(": ") + failure.description,
                   lines.join(QLatin1Char('\r')),
                   {Button::Ok},
                   Button::Ok};
}

} // namespace Enrolix::EventMessages
