#pragma once

#include <QString>

#include <array>
#include <optional>

namespace Enrolix {

struct Settings;
class SettingsStore;

// How a setting of the options dialog is loaded and edited.
enum class OptionKind {
    Folder,     // ends in the folder separator after loading; the per-user data folder by default
    PageFolder, // like Folder, but the data folder's pages/ by default
    Text,       // stored and loaded as typed
    Seconds,    // the wait between mailbox checks, held as a number
};

// One of the seven settings users may change. Box i of the options dialog edits optionTable()[i].
struct OptionField
{
    const QString& key;
    const QString& caption;
    const QString& toolTip;
    // Saving writes the keys in this order, as it always has (the interval before the attendant mailbox).
    int saveOrder;
    OptionKind kind;
    // The text settings: their default and where the loaded value is held. Unused for the wait.
    const QString* fallback;
    QString Settings::*value;
};

inline constexpr std::size_t kOptionCount = 7;
using OptionTexts = std::array<QString, kOptionCount>;

const std::array<OptionField, kOptionCount>& optionTable();

// The boxes that browsing fills and the wait's box, by their place in the table.
inline constexpr std::size_t kWorkingFolderOption = 0;
inline constexpr std::size_t kPageFolderOption = 1;
inline constexpr std::size_t kPagePrefixOption = 2;
inline constexpr std::size_t kIntervalOption = 6;

// The loaded values as the dialog shows them, folders with their trailing separator.
OptionTexts optionTexts(const Settings& settings);

// An integer or decimal number with an optional sign (blanks around it allowed); empty text is no number.
bool isNumericText(const QString& text);

// The interval text as saving stores it: a value below 5 becomes "5", any other number stays
// as typed. Nothing when the text is no number.
std::optional<QString> intervalToSave(const QString& text);

// Stores the texts exactly as given, one key after the other in the table's save order.
void SaveOptions(SettingsStore& store, const OptionTexts& texts);

// Stores whether the welcome screen is shown at the next start ("True" or "False").
void SaveFirstRun(SettingsStore& store, bool show);

} // namespace Enrolix
