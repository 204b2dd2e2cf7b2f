#pragma once

#include "settings/SettingsKeys.h"

namespace Enrolix {

class SettingsStore;

// Who gets the attendee list of an event by mail.
enum class AttendeeListFor {
    Anyone,
    // Only a sender whose address is recorded for that event.
    Registered,
    // Only the training coordinator's address.
    Coordinator,
};

// The rules of the [attendant] section for the requests the attendant answers. A value that is
// missing, unknown or malformed gives its default.
struct AttendantRules
{
    // At most this many replies to one sender address within 24 hours; 0 sets no limit.
    int max_replies_per_sender{SettingsKeys::kDefaultMaxRepliesPerSender};
    AttendeeListFor attendee_list_for{AttendeeListFor::Anyone};
    // A cancellation counts only from the address the name registered with, where one is recorded.
    bool cancel_only_from_registering_address{false};

    static AttendantRules load(const SettingsStore& store);
};

} // namespace Enrolix
