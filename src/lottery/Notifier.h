#pragma once

#include "platform/Message.h"

#include <QString>

#include <functional>

namespace Enrolix {

class MailSessionFactory;
struct ClosedEvent;
struct DrawRecord;
struct Settings;

// What one Send Notifications did.
struct NotifyOutcome
{
    enum class Kind {
        // Every name with an address has now had its mail (some perhaps in earlier runs).
        Done,
        // Nothing was left to send.
        NothingLeft,
        // The outbox could not be opened or took not a single mail: nothing was sent.
        Unreachable,
        // Some went out, then the outbox was lost; the rest wait for the next run.
        Stopped,
        // Another run is sending this event's notifications.
        Busy,
        // The record of the sent mails could not be read or written.
        FileProblem,
    };
    Kind kind{Kind::Done};
    int invitations{0};
    int waiting{0};
    int withoutAddress{0};
    // Refused or put off by the server for that one recipient; tried again at the next run.
    int notDelivered{0};
    QString reason;

    // The box that tells the coordinator.
    Message message() const;
};

// Mails each drawn person with an address through the attendant's mail profile: an invitation
// to the selected, the place on the waiting list to the others. Event number + ".sent" records
// every mail the server took, synced before the next one goes, so a run cut short resumes and
// nobody is mailed twice (but for the one mail in flight at a kill).
class Notifier
{
public:
    Notifier(MailSessionFactory& mail, const Settings& settings) : m_mail(mail), m_settings(settings) {}

    // progress(done, total) after each mail, total being the mails left at the start.
    NotifyOutcome send(const ClosedEvent& closed, const DrawRecord& draw,
                       const std::function<void(int, int)>& progress = {});

    // True when some notification of the event has gone out already.
    static bool anySent(const ClosedEvent& closed);

private:
    MailSessionFactory& m_mail;
    const Settings& m_settings;
};

} // namespace Enrolix
