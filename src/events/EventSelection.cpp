#include "events/EventSelection.h"

#include "events/EventFiles.h"
#include "platform/TextFiles.h"

namespace Enrolix {

std::optional<EventSelection> readEventSelection(const Settings& settings, const QString& event)
{
    const EventFiles files(settings);
    std::optional<QString> attendees = TextFiles::readAll(files.recordPath(event));
    if (!attendees)
        return std::nullopt;
    return EventSelection{event, TextFiles::readAll(files.descriptionPath(event)).value_or(QString()),
                          std::move(*attendees)};
}

} // namespace Enrolix
