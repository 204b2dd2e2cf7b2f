#pragma once

#include "platform/Message.h"

namespace Enrolix {

// Shows a message box and returns the button that was pressed. The desktop version is modal;
// tests install a scripted one, so no test ever waits on a real box.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Button ask(const Message& message) = 0;
};

} // namespace Enrolix
