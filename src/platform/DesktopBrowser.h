#pragma once

#include "platform/Browser.h"

namespace Enrolix {

// The desktop's default browser (xdg-open).
class DesktopBrowser final : public Browser
{
public:
    bool open(const QUrl& address) override;
};

} // namespace Enrolix
