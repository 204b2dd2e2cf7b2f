#pragma once

#include <QString>

namespace Enrolix {

// The system clipboard and the standard beep, behind a seam tests can replace.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void beep() = 0;
};

} // namespace Enrolix
