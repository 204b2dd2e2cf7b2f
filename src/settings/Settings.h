#pragma once

#include "settings/AttendantRules.h"

#include <QString>

#include <limits>
#include <optional>

namespace Enrolix {

class SettingsStore;

// The process-wide settings, filled only by LoadSettings. Until the first load they are empty,
// false and zero. The names are those of the stored keys.
struct Settings
{
    QString Working_Files_Directory;
    QString HTML_File_Path;
    QString HTML_Nice_File_Path;
    QString Training_Coordinator_Name;
    QString Training_Coordinator_Ext;
    QString Training_Coordinator_Email_Address;
    QString Registration_Attendant_Email;
    // Whole seconds, at least 1.
    qint16 Seconds_Wait_Between_Email_Processing{0};
    bool FirstRun{false};
    QString Organisation_Name;
    // The [attendant] section.
    AttendantRules attendant;

    // Derived on every load.
    QString Counter_File_Path;
    double ProgressFactor{0.0};

    // Reads every value with its default, normalises the three folders (each ends in the
    // folder separator) and derives the counter file path and the progress factor.
    void LoadSettings(const SettingsStore& store);
};

// The default of the working folder: the per-user data folder.
QString defaultFolderSetting();

// The default of the page folder and the published page prefix: the data folder's pages/. The
// page folder is the one a coordinator publishes, so it never holds the working files.
QString defaultPageFolderSetting();

// The limits of the 16-bit whole numbers that stored numbers, the event counter, the countdown
// and the attendant's counts are held in.
inline constexpr qint16 kInt16Max = std::numeric_limits<qint16>::max();
inline constexpr qint16 kInt16Min = std::numeric_limits<qint16>::min();

// The nearest 16-bit integer of a text (halves to the even neighbour, leading blanks ignored),
// or nothing when the text is not a number or out of range.
std::optional<qint16> toInt16(const QString& text);

// A stored boolean: "True"/"False" in any case, or a number (non-zero is true); nothing for other text.
std::optional<bool> booleanOf(const QString& text);

// A stored boolean as booleanOf reads it; other text reads as true.
bool toBoolean(const QString& text);

// Appends the folder separator unless the value already ends in it.
QString withTrailingSeparator(const QString& folder);

} // namespace Enrolix
