#pragma once

#include <QString>

#include <array>
#include <optional>

namespace Enrolix {

struct Settings;
class SettingsStore;

// The seven settings the options dialog edits, indexed like its option boxes: working folder,
// page folder, published page prefix, coordinator name, coordinator contact, attendant
// mailbox, seconds between mailbox checks.
using OptionTexts = std::array<QString, 7>;

inline constexpr int kIntervalOption = 6;

// The loaded values, folders with their trailing separator.
OptionTexts optionTexts(const Settings& settings);

// An integer or decimal number with an optional sign (blanks around it allowed); empty text is no number.
bool isNumericText(const QString& text);

// The interval text as saving stores it: a value below 5 becomes "5", any other number stays
// as typed. Nothing when the text is no number.
std::optional<QString> intervalToSave(const QString& text);

// Stores the texts exactly as given, one key after the other in the order the dialog has
// always written them (the interval before the attendant mailbox).
void SaveOptions(SettingsStore& store, const OptionTexts& texts);

} // namespace Enrolix
