#pragma once

#include "mail/AccountStep.h"
#include "mail/MailTransport.h"
#include "mail/ProfileSecret.h"

#include <functional>
#include <stop_token>

namespace Enrolix {

class MailInbox;

// The steps of Test Account: each server is reached first without signing on (with the TLS a
// sign-on would need), then signed on to; the inbox's folder is selected and its unread mails
// counted. Nothing is sent and no flag changes. Every step is reported as it ends; a step that
// fails ends the check.
class AccountCheck
{
public:
    using Report = std::function<void(const AccountStep&)>;
    // The profile's secret, asked for once a server has been reached.
    using Secret = std::function<ProfileSecret::Resolved()>;

    AccountCheck(MailTransportFactory& transports, const TransportLimits& limits, std::stop_token stop, Report report);

    // The IMAP inbox of the profile; true when every step went well.
    bool imap(const MailProfile& profile, const Secret& secret);
    // The SMTP outbox of the profile.
    bool smtp(const MailProfile& profile, const Secret& secret);
    // A folder of another kind (a Maildir), as an inbox of the pass reads it.
    bool folder(const QString& name, MailInbox& inbox);

    // The folder an IMAP inbox address names, decoded.
    static QString folderName(const QString& inbox);

private:
    bool step(AccountStep::Kind kind, bool ok, const QString& reason);
    // Reaches the server without signing on (greeting: the command it is sent), then signs on;
    // the signed-on connection, or nothing once a step failed.
    std::unique_ptr<MailTransport> signOn(const MailProfile& profile, const QByteArray& server,
                                          const QByteArray& greeting, AccountStep::Kind reached,
                                          AccountStep::Kind signedOn, const Secret& secret);

    MailTransportFactory& m_transports;
    TransportLimits m_limits;
    std::stop_token m_stop;
    Report m_report;
    std::shared_ptr<TroubleClock> m_clock;
};

} // namespace Enrolix
