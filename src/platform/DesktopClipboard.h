#pragma once

#include "platform/Clipboard.h"

namespace Enrolix {

class DesktopClipboard final : public Clipboard
{
public:
    void clear() override;
    void setText(const QString& text) override;
    void beep() override;
};

} // namespace Enrolix
