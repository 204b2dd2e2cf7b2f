#include "settings/Settings.h"

#include "platform/DataFolder.h"
#include "platform/SettingsStore.h"
#include "settings/SettingsKeys.h"

#include <QDir>

#include <cmath>

namespace Enrolix {

using namespace SettingsKeys;

QString defaultFolderSetting()
{
    return defaultDataFolder();
}

std::optional<qint16> toInt16(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

bool toBoolean(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = word.toDouble(&ok);
    if (ok)
        return number != 0.0;
    return true;
}

QString withTrailingSeparator(const QString& folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

void Settings::LoadSettings(const SettingsStore& store)
{
    const QString folderDefault = defaultFolderSetting();
    auto read = [&store](const QString& key, const QString& fallback) { return store.read(kOptions, key, fallback); };

    Working_Files_Directory = read(kWorkingFilesDirectory, folderDefault);
    HTML_File_Path = read(kHtmlFilePath, folderDefault);
    HTML_Nice_File_Path = read(kHtmlNiceFilePath, folderDefault);
    Training_Coordinator_Name = read(kCoordinatorName, kDefaultCoordinatorName);
    Training_Coordinator_Ext = read(kCoordinatorExt, kDefaultCoordinatorExt);
    Training_Coordinator_Email_Address = read(kCoordinatorEmail, kDefaultCoordinatorEmail);
    Registration_Attendant_Email = read(kRegAttend, kDefaultRegAttend);
    Organisation_Name = read(kOrganisationName, kDefaultOrganisationName);

    // A wait below one second would divide by zero or run the attendant backwards; it is
    // treated like unreadable text, and the load goes on either way.
    const std::optional<qint16> seconds = toInt16(read(kSecondsWait, kDefaultSecondsWait));
    Seconds_Wait_Between_Email_Processing =
        (seconds && *seconds >= 1) ? QString::number(*seconds) : QStringLiteral("20");

    FirstRun = toBoolean(read(kFirstRun, kDefaultFirstRun));

    Working_Files_Directory = withTrailingSeparator(Working_Files_Directory);
    HTML_File_Path = withTrailingSeparator(HTML_File_Path);
    HTML_Nice_File_Path = withTrailingSeparator(HTML_Nice_File_Path);

    Counter_File_Path = Working_Files_Directory + kCounterFileName;
    ProgressFactor = 100.0 / Seconds_Wait_Between_Email_Processing.toDouble();
}

qint16 Settings::secondsWait() const
{
    return toInt16(Seconds_Wait_Between_Email_Processing).value_or(0);
}

} // namespace Enrolix
