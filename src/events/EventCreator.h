#pragma once

#include "events/WorkingFolderLock.h"
#include "platform/TextFiles.h"

#include <QString>

namespace Enrolix {

struct Settings;

// Creates an event: takes the next number, then makes its description file, its registration
// page and its empty sign-up list. Either all three are made or none: a failure leaves at most
// the counter advanced past the number.
class EventCreator
{
public:
    struct Outcome
    {
        FileResult file; // the failing step's result, or success
        QString event;   // the number taken; empty when none could be taken
        // The attendant held the working folder for longer than the wait: nothing was done.
        bool busy{false};
    };

    explicit EventCreator(const Settings& settings) : m_settings(settings) {}

    // The two texts as stored, line breaks CR LF. Existing files are never overwritten nor
    // removed: the counter skips numbers whose files exist, and no file of the event replaces
    // one that appeared since. Holds the working folder's lock, waiting for it at most lockWait.
    Outcome create(const QString& information, const QString& dates,
                   std::chrono::milliseconds lockWait = WorkingFolderLock::kWindowWait) const;

private:
    const Settings& m_settings;
};

} // namespace Enrolix
