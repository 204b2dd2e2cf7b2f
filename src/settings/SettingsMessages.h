#pragma once

#include "platform/Message.h"

namespace Enrolix::SettingsMessages {

Message noCounterFound();
Message errorNotCorrected();
Message creatingFile();
Message errorCreatingFile();

} // namespace Enrolix::SettingsMessages
