#pragma once

#include "platform/VolumeList.h"

namespace Enrolix::Testing {

// Offers exactly the drives a test lists, readable or not.
class FakeVolumeList final : public VolumeList
{
public:
    explicit FakeVolumeList(QList<Volume> list) : m_list(std::move(list)) {}
    QList<Volume> volumes() const override { return m_list; }

private:
    QList<Volume> m_list;
};

} // namespace Enrolix::Testing
