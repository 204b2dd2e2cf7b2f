#include "settings/Settings.h"

#include "platform/DataFolder.h"
#include "platform/SettingsStore.h"
#include "settings/OptionTable.h"
#include "settings/SettingsKeys.h"

#include <QDir>

#include <cmath>

namespace Enrolix {

using namespace SettingsKeys;

QString defaultFolderSetting()
{
    return defaultDataFolder();
}

QString defaultPageFolderSetting()
{
    return defaultDataFolder() + QStringLiteral("pages/");
}

std::optional<qint16> toInt16(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded < kInt16Min || rounded > kInt16Max)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

std::optional<bool> booleanOf(const QString& text)
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
    return std::nullopt;
}

bool toBoolean(const QString& text)
{
    return booleanOf(text).value_or(true);
}

QString withTrailingSeparator(const QString& folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

void Settings::LoadSettings(const SettingsStore& store)
{
    const QString folderDefault = defaultFolderSetting();
    const QString pageFolderDefault = defaultPageFolderSetting();
    auto read = [&store](const QString& key, const QString& fallback) { return store.read(kOptions, key, fallback); };

    for (const OptionField& field : optionTable()) {
        switch (field.kind) {
        case OptionKind::Folder:
            this->*field.value = withTrailingSeparator(read(field.key, folderDefault));
            break;
        case OptionKind::PageFolder:
            this->*field.value = withTrailingSeparator(read(field.key, pageFolderDefault));
            break;
        case OptionKind::Text:
            this->*field.value = read(field.key, *field.fallback);
            break;
        case OptionKind::Seconds: {
            // A wait below one second would divide by zero or run the attendant backwards; it is
            // treated like unreadable text, and the load goes on either way.
            const std::optional<qint16> seconds = toInt16(read(field.key, *field.fallback));
            Seconds_Wait_Between_Email_Processing = (seconds && *seconds >= 1) ? *seconds : qint16(20);
            break;
        }
        }
    }
    Training_Coordinator_Email_Address = read(kCoordinatorEmail, kDefaultCoordinatorEmail);
    Organisation_Name = read(kOrganisationName, kDefaultOrganisationName);
    FirstRun = toBoolean(read(kFirstRun, kDefaultFirstRun));
    attendant = AttendantRules::load(store);

    Counter_File_Path = Working_Files_Directory + kCounterFileName;
    ProgressFactor = 100.0 / double(Seconds_Wait_Between_Email_Processing);
}

} // namespace Enrolix
