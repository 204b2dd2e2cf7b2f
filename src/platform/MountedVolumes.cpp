#include "platform/MountedVolumes.h"

#include <QDir>
#include <QStorageInfo>

namespace Enrolix {

QList<Volume> MountedVolumes::volumes() const
{
    QList<Volume> result;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady())
            continue;
        const QString root = QDir::toNativeSeparators(storage.rootPath());
        const QString name = storage.name().isEmpty() ? QString::fromUtf8(storage.device()) : storage.name();
        result.append(Volume{root, name});
    }
    return result;
}

} // namespace Enrolix
