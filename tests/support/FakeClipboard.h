#pragma once

#include "platform/Clipboard.h"

namespace Enrolix::Testing {

class FakeClipboard final : public Clipboard
{
public:
    void clear() override
    {
        text.clear();
        ++clears;
    }
    void setText(const QString& value) override { text = value; }
    void beep() override { ++beeps; }

    QString text{QStringLiteral("(untouched)")};
    int clears{0};
    int beeps{0};
};

} // namespace Enrolix::Testing
