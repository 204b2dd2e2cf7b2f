#include "settings/AttendantRules.h"

#include "platform/SettingsStore.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

namespace Enrolix {
namespace {

using namespace SettingsKeys;

int maxReplies(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0 ? value : kDefaultMaxRepliesPerSender;
}

AttendeeListFor listFor(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(kAttendeeListForRegistered, Qt::CaseInsensitive) == 0)
        return AttendeeListFor::Registered;
    if (word.compare(kAttendeeListForCoordinator, Qt::CaseInsensitive) == 0)
        return AttendeeListFor::Coordinator;
    return AttendeeListFor::Anyone;
}

} // namespace

AttendantRules AttendantRules::load(const SettingsStore& store)
{
    AttendantRules rules;
    rules.max_replies_per_sender = maxReplies(store.read(kAttendant, kMaxRepliesPerSender, {}));
    rules.attendee_list_for = listFor(store.read(kAttendant, kAttendeeListFor, {}));
    rules.cancel_only_from_registering_address =
        booleanOf(store.read(kAttendant, kCancelOnlyFromRegisteringAddress, {}))
            .value_or(rules.cancel_only_from_registering_address);
    return rules;
}

} // namespace Enrolix
