#include "settings/CounterFileCheck.h"

#include "platform/DataFolder.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Enrolix {

void CheckCounterFile(const Settings& settings, Prompter& prompter)
{
    QFile counter(settings.Counter_File_Path);
    if (counter.open(QIODevice::ReadOnly))
        return;

    if (prompter.ask(SettingsMessages::noCounterFound()) != Button::Yes) {
        prompter.ask(SettingsMessages::errorNotCorrected());
        return;
    }
    // Whichever button is pressed here, the file is created.
    prompter.ask(SettingsMessages::creatingFile());
    if (!TextFiles::writeLines(settings.Counter_File_Path, {QStringLiteral("1")}).ok())
        prompter.ask(SettingsMessages::errorCreatingFile());
}

bool prepareDefaultDataFolder()
{
    const QString folder = defaultDataFolder();
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder))
        return false;
    return TextFiles::writeLines(folder + SettingsKeys::kCounterFileName, {QStringLiteral("1")}).ok();
}

bool prepareDefaultPageFolder(const SettingsStore& store)
{
    Settings settings;
    settings.LoadSettings(store);
    const QString folder = defaultPageFolderSetting();
    if (settings.HTML_File_Path != folder || QFileInfo(folder).isDir())
        return true;
    return QDir().mkpath(folder);
}

} // namespace Enrolix
