#include "events/EventCounter.h"

#include "events/EventFiles.h"
#include "events/EventMessages.h"
#include "settings/Settings.h"

namespace Enrolix {

EventCounter::Result EventCounter::takeNext() const
{
    FileResult read;
    const std::optional<QString> line = TextFiles::readFirstLine(m_settings.Counter_File_Path, &read);
    if (!line)
        return {read, {}};

    const std::optional<qint16> stored = toInt16(*line);
    if (!stored || *stored < 0)
        return {FileResult{kNotANumber, EventMessages::counterHoldsNoNumber()}, {}};

    const FileResult overflow{kOverflow, EventMessages::noEventNumbersLeft()};
    int value = *stored;
    while (value < kInt16Max && m_files.anyFileExists(EventFiles::eventNumber(value)))
        ++value;
    if (value >= kInt16Max)
        return {overflow, {}};

    const FileResult written = TextFiles::writeLines(m_settings.Counter_File_Path, {QString::number(value + 1)});
    if (!written.ok())
        return {written, {}};
    return {FileResult::success(), EventFiles::eventNumber(value)};
}

} // namespace Enrolix
