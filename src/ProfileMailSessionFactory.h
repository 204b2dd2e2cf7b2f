#pragma once

#include "mail/MailSessionFactory.h"
#include "mail/MailTransport.h"

#include <optional>
#include <vector>

namespace Enrolix {

class MailInbox;
class MailOutbox;
class SettingsStore;
class SmtpConnections;
struct MailProfile;

// Opens sessions on the mail profiles of the settings store: a Maildir, or IMAP and SMTP
// servers, as each profile's inbox and outbox name them.
class ProfileMailSessionFactory final : public MailSessionFactory
{
public:
    // transports: how IMAP and SMTP servers are reached; libcurl when none is given.
    explicit ProfileMailSessionFactory(const SettingsStore& store, const TransportLimits& limits = {},
                                       MailTransportFactory* transports = nullptr);

    SignOn signOn(const QString& profile, std::stop_token stop = {}) override;
    OutboxSignOn openOutbox(const QString& profile, std::stop_token stop = {}) override;

private:
    // The password or token of the profile; nothing, and why, when it cannot be had.
    std::optional<QString> secretOf(const MailProfile& profile, QString& failure) const;
    static QString outboxProblem(const MailProfile& profile);
    std::unique_ptr<MailInbox> makeInbox(const MailProfile& profile, const QString& password,
                                         const std::shared_ptr<TroubleClock>& clock, const std::stop_token& stop) const;
    // connections: what the SMTP connections of a session share, when there are several.
    std::unique_ptr<MailOutbox> makeOutbox(const MailProfile& profile, const QString& password,
                                           const std::shared_ptr<TroubleClock>& clock, const std::stop_token& stop,
                                           const std::shared_ptr<SmtpConnections>& connections = {}) const;
    // The outboxes a session sends over at once: one connection each to an SMTP server, as many
    // as the profile asks for; one Maildir.
    std::vector<std::unique_ptr<MailOutbox>> makeOutboxes(const MailProfile& profile, const QString& password,
                                                          const std::shared_ptr<TroubleClock>& clock,
                                                          const std::stop_token& stop) const;

    const SettingsStore& m_store;
    TransportLimits m_limits;
    std::unique_ptr<MailTransportFactory> m_ownTransports;
    MailTransportFactory* m_transports{nullptr};
};

} // namespace Enrolix
