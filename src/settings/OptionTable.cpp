#include "settings/OptionTable.h"

#include "platform/SettingsStore.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsMessages.h"

#include <QRegularExpression>

#include <algorithm>

namespace Enrolix {
namespace {

using namespace SettingsKeys;
using namespace SettingsMessages;

// Every write of the options section goes through here.
void writeOption(SettingsStore& store, const QString& key, const QString& value)
{
    store.write(kOptions, key, value);
}

} // namespace

const std::array<OptionField, kOptionCount>& optionTable()
{
    static const std::array<OptionField, kOptionCount> table{{
        {kWorkingFilesDirectory, kWorkingFolderCaption, kWorkingFolderTip, 0, OptionKind::Folder, nullptr,
         &Settings::Working_Files_Directory},
        {kHtmlFilePath, kPageFolderCaption, kPageFolderTip, 1, OptionKind::PageFolder, nullptr,
         &Settings::HTML_File_Path},
        {kHtmlNiceFilePath, kPagePrefixCaption, kPagePrefixTip, 2, OptionKind::PageFolder, nullptr,
         &Settings::HTML_Nice_File_Path},
        {kCoordinatorName, kCoordinatorNameCaption, kCoordinatorNameTip, 3, OptionKind::Text, &kDefaultCoordinatorName,
         &Settings::Training_Coordinator_Name},
        {kCoordinatorExt, kCoordinatorContactCaption, kCoordinatorContactTip, 4, OptionKind::Text,
         &kDefaultCoordinatorExt, &Settings::Training_Coordinator_Ext},
        {kRegAttend, kAttendantMailboxCaption, kAttendantMailboxTip, 6, OptionKind::Text, &kDefaultRegAttend,
         &Settings::Registration_Attendant_Email},
        {kSecondsWait, kIntervalCaption, kIntervalTip, 5, OptionKind::Seconds, &kDefaultSecondsWait, nullptr},
    }};
    return table;
}

OptionTexts optionTexts(const Settings& settings)
{
    OptionTexts texts;
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const OptionField& field = optionTable()[i];
        texts[i] = field.kind == OptionKind::Seconds ? QString::number(settings.Seconds_Wait_Between_Email_Processing)
                                                     : settings.*field.value;
    }
    return texts;
}

bool isNumericText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)\s*$)"));
    return number.match(text).hasMatch();
}

std::optional<QString> intervalToSave(const QString& text)
{
    if (!isNumericText(text))
        return std::nullopt;
    return text.trimmed().toDouble() < 5.0 ? QStringLiteral("5") : text;
}

void SaveOptions(SettingsStore& store, const OptionTexts& texts)
{
    std::array<std::size_t, kOptionCount> order{};
    for (std::size_t i = 0; i < kOptionCount; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [](std::size_t a, std::size_t b) { return optionTable()[a].saveOrder < optionTable()[b].saveOrder; });
    for (std::size_t index : order)
        writeOption(store, optionTable()[index].key, texts[index]);
}

void SaveFirstRun(SettingsStore& store, bool show)
{
    writeOption(store, kFirstRun, show ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace Enrolix
