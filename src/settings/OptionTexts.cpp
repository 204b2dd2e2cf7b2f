#include "settings/OptionTexts.h"

#include "platform/SettingsStore.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <QRegularExpression>

namespace Enrolix {

using namespace SettingsKeys;

OptionTexts optionTexts(const Settings& settings)
{
    return {settings.Working_Files_Directory,
            settings.HTML_File_Path,
            settings.HTML_Nice_File_Path,
            settings.Training_Coordinator_Name,
            settings.Training_Coordinator_Ext,
            settings.Registration_Attendant_Email,
            settings.Seconds_Wait_Between_Email_Processing};
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
    const std::array<std::pair<int, const QString*>, 7> order{{{0, &kWorkingFilesDirectory},
                                                               {1, &kHtmlFilePath},
                                                               {2, &kHtmlNiceFilePath},
                                                               {3, &kCoordinatorName},
                                                               {4, &kCoordinatorExt},
                                                               {kIntervalOption, &kSecondsWait},
                                                               {5, &kRegAttend}}};
    for (const auto& [index, key] : order)
        store.write(kOptions, *key, texts[std::size_t(index)]);
}

} // namespace Enrolix
