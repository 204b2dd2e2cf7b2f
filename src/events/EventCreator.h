#pragma once

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
        // Another holds the working folder's lock: nothing was done.
        bool busy{false};
    };

    explicit EventCreator(const Settings& settings) : m_settings(settings) {}

    // The two texts as stored, line breaks CR LF. Existing files are never overwritten nor
    // removed: the counter skips numbers whose files exist, and no file of the event replaces
    // one that appeared since. Tries the working folder's lock once, without waiting for it.
    Outcome create(const QString& information, const QString& dates) const;

private:
    const Settings& m_settings;
};

} // namespace Enrolix
