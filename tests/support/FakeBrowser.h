#pragma once

#include "platform/Browser.h"

#include <QList>

namespace Enrolix::Testing {

// Records the addresses the program opens; a test plays the person at the browser.
class FakeBrowser final : public Browser
{
public:
    bool open(const QUrl& address) override
    {
        opened.append(address);
        return true;
    }
    QList<QUrl> opened;
};

} // namespace Enrolix::Testing
