#pragma once

#include "platform/TextFiles.h"

#include <QString>

namespace Enrolix {

struct Settings;
class EventFiles;

// Takes the next event number from the counter file and advances the counter.
// Numbers are never re-used, and a number whose files already exist (for example after the
// counter file was recreated in a folder that still holds events) is skipped, so an existing
// event is never overwritten. Every failure happens before the counter file is written.
class EventCounter
{
public:
    struct Result
    {
        FileResult file;
        QString event; // the event number handed out, when file.ok()
    };

    // Own failure codes, beside the file system's.
    static constexpr int kNotANumber = 101;
    static constexpr int kOverflow = 102;

    EventCounter(const Settings& settings, const EventFiles& files) : m_settings(settings), m_files(files) {}

    Result takeNext() const;

private:
    const Settings& m_settings;
    const EventFiles& m_files;
};

} // namespace Enrolix
