#pragma once

#include "platform/Prompter.h"

namespace Enrolix {

// Shows each message as a modal QMessageBox without an icon.
class DesktopPrompter final : public Prompter
{
public:
    Button ask(const Message& message) override;
};

} // namespace Enrolix
