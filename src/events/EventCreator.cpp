#include "events/EventCreator.h"

#include "events/EventCounter.h"
#include "events/EventFiles.h"
#include "events/RegistrationPage.h"
#include "events/WorkingFolderLock.h"
#include "settings/Settings.h"

namespace Enrolix {

EventCreator::Outcome EventCreator::create(const QString& information, const QString& dates) const
{
    // No pass may take the new number's files for a closed event's while they are made. A folder
    // where no lock can be made fails at the steps below, which report it as usual.
    WorkingFolderLock lock(m_settings.Working_Files_Directory);
    if (lock.lock(std::chrono::milliseconds::zero()) == WorkingFolderLock::Outcome::Busy)
        return {FileResult::success(), {}, true};
    const EventFiles files(m_settings);
    const EventCounter::Result taken = EventCounter(m_settings, files).takeNext();
    if (!taken.file.ok())
        return {taken.file, {}};
    const QString& event = taken.event;

    // Both texts are on their disks before any file of the event appears, so a full or missing
    // folder is found while there is nothing to take back.
    TextFiles::StagedFile page =
        RegistrationPage::stage(files.pagePath(event), m_settings, {event, information, dates});
    if (!page.result().ok())
        return {page.result(), event};
    TextFiles::StagedFile description(files.descriptionPath(event), TextFiles::joinLines({information, dates}));
    if (!description.result().ok())
        return {description.result(), event};

    // The sign-up list comes last: it makes the event appear in the lists. Each file is made new,
    // so taking them back never removes a file of another event.
    FileResult step = description.commitNew();
    if (step.ok())
        step = page.commitNew();
    if (step.ok())
        step = TextFiles::createEmptyNew(files.recordPath(event));
    if (!step.ok()) {
        page.takeBack();
        description.takeBack();
    }
    return {step, event};
}

} // namespace Enrolix
