#include "platform/SystemInfo_unix.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace Enrolix {

bool UnixSystemInfo::GetKeyValue(quint32, const QString&, const QString&, QString& KeyVal)
{
    KeyVal.clear();
    return false;
}

bool UnixSystemInfo::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

QString UnixSystemInfo::findOnPath()
{
    for (const char* tool : {"hardinfo", "hardinfo2", "kinfocenter", "gnome-system-monitor", "lshw-gtk"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool UnixSystemInfo::start(const QString& program)
{
    return QProcess::startDetached(program, {});
}

} // namespace Enrolix
