#pragma once

#include "platform/Message.h"

namespace Enrolix {

struct FileResult;

// The fixed texts of creating and closing events.
namespace EventMessages {

// One of the two event texts of the create dialog is empty.
Message provideNameAndDate();

// A creation step failed; the title carries the failure's code and description.
Message createFailed(const FileResult& failure);

} // namespace EventMessages
} // namespace Enrolix
