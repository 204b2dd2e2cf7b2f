#pragma once

#include "platform/VolumeList.h"

namespace Enrolix {

// The mounted volumes of the machine that are ready.
class MountedVolumes final : public VolumeList
{
public:
    QList<Volume> volumes() const override;
};

} // namespace Enrolix
