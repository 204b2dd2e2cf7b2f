#include "events/EventCreator.h"

#include "events/EventCounter.h"
#include "events/EventFiles.h"
#include "events/RegistrationPage.h"
#include "settings/Settings.h"

namespace Enrolix {

EventCreator::Outcome EventCreator::create(const QString& information, const QString& dates,
                                           std::chrono::milliseconds lockWait) const
{
    // No pass may take the new number's files for a closed event's while they are made. A folder
    // where no lock can be made fails at the steps below, which report it as usual.
    WorkingFolderLock lock(m_settings.Working_Files_Directory);
    if (lock.lock(lockWait) == WorkingFolderLock::Outcome::Busy)
        return {FileResult::success(), {}, true};
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
