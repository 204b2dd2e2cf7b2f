#include "events/EventCreator.h"

#include "events/EventCounter.h"
#include "events/EventFiles.h"
#include "events/RegistrationPage.h"

namespace Enrolix {

EventCreator::Outcome EventCreator::create(const QString& information, const QString& dates) const
{
    const EventFiles files(m_settings);
    const EventCounter::Result taken = EventCounter(m_settings, files).takeNext();
    if (!taken.file.ok())
        return {taken.file, {}};
    const QString& event = taken.event;

    // The new sign-up list claims the number: once it exists, every counter skips the number,
    // so the page and the description written next belong to this event alone.
    FileResult step = TextFiles::createEmptyNew(files.recordPath(event));
    if (!step.ok())
        return {step, event};

    step = RegistrationPage::write(files.pagePath(event), m_settings, {event, information, dates});
    if (!step.ok())
        return {step, event};

    return {TextFiles::writeLines(files.descriptionPath(event), {information, dates}), event};
}

} // namespace Enrolix
