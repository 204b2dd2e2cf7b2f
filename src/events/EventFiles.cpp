#include "events/EventFiles.h"

#include "events/EventMessages.h"

#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace Enrolix {

QString EventFiles::eventNumber(int counterValue)
{
    return QStringLiteral("E%1").arg(counterValue, 5, 10, QLatin1Char('0'));
}

QString EventFiles::recordPath(const QString& event) const
{
    return m_settings.Working_Files_Directory + event + kRecordSuffix;
}

QString EventFiles::descriptionPath(const QString& event) const
{
    return m_settings.Working_Files_Directory + event + kDescriptionSuffix;
}

QString EventFiles::addressPath(const QString& event) const
{
    return m_settings.Working_Files_Directory + event + kAddressSuffix;
}

QString EventFiles::pagePath(const QString& event) const
{
    return m_settings.HTML_File_Path + event + kPageSuffix;
}

QString EventFiles::publishedAddress(const QString& event) const
{
    return m_settings.HTML_Nice_File_Path + event + kPageSuffix;
}

FileResult EventFiles::listOpenEvents(QStringList& events) const
{
    return listEvents(kRecordSuffix, events);
}

FileResult EventFiles::listClosedEvents(QStringList& events) const
{
    return listEvents(kRecordSuffix + kClosedSuffix, events);
}

FileResult EventFiles::listEvents(const QString& suffix, QStringList& events) const
{
    const QString folder = m_settings.Working_Files_Directory;
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return FileResult{int(QFileDevice::OpenError), EventMessages::folderMissing(folder)};
    if (!info.isReadable())
        return FileResult{int(QFileDevice::PermissionsError), EventMessages::folderUnreadable(folder)};

    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*") + suffix});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    const QStringList names = dir.entryList();

    QStringList listed;
    listed.reserve(names.size());
    for (const QString& name : names)
        listed.append(name.chopped(suffix.size()));
    events = listed;
    return FileResult::success();
}

bool EventFiles::anyFileExists(const QString& event) const
{
    const QString record = recordPath(event);
    const QString description = descriptionPath(event);
    const QString addresses = addressPath(event);
    return TextFiles::exists(record) || TextFiles::exists(description) || TextFiles::exists(record + kClosedSuffix) ||
           TextFiles::exists(description + kClosedSuffix) || TextFiles::exists(addresses) ||
           TextFiles::exists(addresses + kClosedSuffix) || TextFiles::exists(pagePath(event));
}

} // namespace Enrolix
