#pragma once

#include "events/WorkingFolderLock.h"
#include "platform/TextFiles.h"

#include <QString>

namespace Enrolix {

struct Settings;

// Creates an event: takes the next number, creates its empty sign-up list, writes its
// registration page and its description file, in that order. A failing step ends the creation
// and leaves what the earlier steps wrote; nothing is undone.
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

    // The two texts as stored, line breaks CR LF. Existing files are never overwritten: the
    // counter skips numbers whose files exist, and the sign-up list is created only when new.
    // Holds the working folder's lock, waiting for it at most lockWait.
    Outcome create(const QString& information, const QString& dates,
                   std::chrono::milliseconds lockWait = WorkingFolderLock::kWindowWait) const;

private:
    const Settings& m_settings;
};

} // namespace Enrolix
