#pragma once

#include <QList>
#include <QString>

namespace Enrolix {

// A drive as the directory picker offers it.
struct Volume
{
    QString rootPath; // where the volume's folders start, in native form
    QString name;     // label or device, for display only; may be empty
};

// The drives of the machine, behind a seam so tests can offer a drive that cannot be read.
class VolumeList
{
public:
    virtual ~VolumeList() = default;
    virtual QList<Volume> volumes() const = 0;
};

} // namespace Enrolix
