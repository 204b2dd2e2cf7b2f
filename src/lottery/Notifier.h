#pragma once

#include "platform/Message.h"

#include <QString>

#include <functional>
#include <stop_token>

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
        // Some went out, then the outbox was lost, or the run was asked to stop; the rest wait for
        // the next run.
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

// Mails each drawn person with an address through the attendant's mail profile, as the draw
// stands after its moves: an invitation to the selected, the place on the waiting list to those
// waiting, the moved-up invitation to those moved up (after their place perhaps), nothing to
// those who gave their seat back. Event number + ".sent" records every mail the server took,
// synced before the next one goes, so a run cut short resumes and nobody gets a mail twice (but
// for the one mail in flight at a kill).
class Notifier
{
public:
    // Once stop is asked, a run ends after the mail being sent, Stopped; a server that keeps that
    // mail waiting counts as lost within about a second, and the mail is not recorded as sent.
    Notifier(MailSessionFactory& mail, const Settings& settings, std::stop_token stop = {})
        : m_mail(mail), m_settings(settings), m_stop(std::move(stop))
    {
    }

    // progress(done, total) after each mail, total being the mails left at the start.
    NotifyOutcome send(const ClosedEvent& closed, const DrawRecord& draw,
                       const std::function<void(int, int)>& progress = {});

    // True when some notification of the event has gone out already.
    static bool anySent(const ClosedEvent& closed);

private:
    MailSessionFactory& m_mail;
    const Settings& m_settings;
    std::stop_token m_stop;
};

} // namespace Enrolix
