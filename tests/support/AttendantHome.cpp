#include "support/AttendantHome.h"

#include "mail/ProfileKeys.h"
#include "settings/SettingsKeys.h"

#include <QSettings>

namespace Enrolix::Testing {
namespace {

QString settingsFile(const QString& folder)
{
    return folder + QStringLiteral("/config/enrolix/enrolix.ini");
}

} // namespace

void AttendantHome::setOption(const QString& key, const QVariant& value) const
{
    QSettings(settingsFile(m_folder), QSettings::IniFormat)
        .setValue(SettingsKeys::kOptions + QLatin1Char('/') + key, value);
}

void AttendantHome::setProfile(const QString& key, const QVariant& value) const
{
    QSettings(settingsFile(m_folder), QSettings::IniFormat)
        .setValue(SettingsKeys::kMailProfileName + QLatin1Char('/') + key, value);
}

void AttendantHome::useServers(const QString& imap, const QString& smtp, const QString& user, const QString& from,
                               const QString& caFile) const
{
    using namespace SettingsKeys;
    QSettings ini(settingsFile(m_folder), QSettings::IniFormat);
    ini.beginGroup(kMailProfileName);
    ini.setValue(kMailInbox, imap);
    ini.setValue(kMailOutbox, smtp);
    ini.setValue(kMailUser, user);
    ini.setValue(kMailPassword, QStringLiteral("secret"));
    ini.setValue(kMailFrom, from);
    ini.setValue(kMailCaFile, caFile);
}

QProcessEnvironment AttendantHome::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder + QStringLiteral("/data"));
    return environment;
}

} // namespace Enrolix::Testing
