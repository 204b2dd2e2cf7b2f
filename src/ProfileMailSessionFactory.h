#pragma once

#include "mail/InboxWatcher.h"
#include "mail/MailSessionFactory.h"
#include "mail/MailTransport.h"

#include <optional>

namespace Enrolix {

class MailInbox;
class MailOutbox;
class SettingsStore;
struct MailProfile;

// Opens sessions on the mail profiles of the settings store: a Maildir, or IMAP and SMTP
// servers, as each profile's inbox and outbox name them; and watches their inboxes: a Maildir's
// new/ folder, or an IMAP folder in IDLE.
class ProfileMailSessionFactory final : public MailSessionFactory, public InboxWatchers
{
public:
    // transports: how IMAP and SMTP servers are reached; libcurl when none is given.
    explicit ProfileMailSessionFactory(const SettingsStore& store, const TransportLimits& limits = {},
                                       MailTransportFactory* transports = nullptr);

    SignOn signOn(const QString& profile, std::stop_token stop = {}) override;
    OutboxSignOn openOutbox(const QString& profile, std::stop_token stop = {}) override;
    // The watcher gets the profile's secret as the pass does, on its own thread, at every connection.
    std::unique_ptr<InboxWatcher> watch(const QString& profile, InboxWatcher::Listener& listener,
                                        const WatchTimes& times) override;

private:
    // The password or token of the profile; nothing, and why, when it cannot be had.
    std::optional<QString> secretOf(const MailProfile& profile, QString& failure) const;
    static QString outboxProblem(const MailProfile& profile);
    std::unique_ptr<MailInbox> makeInbox(const MailProfile& profile, const QString& password,
                                         const std::shared_ptr<TroubleClock>& clock, const std::stop_token& stop) const;
    std::unique_ptr<MailOutbox> makeOutbox(const MailProfile& profile, const QString& password,
                                           const std::shared_ptr<TroubleClock>& clock,
                                           const std::stop_token& stop) const;

    const SettingsStore& m_store;
    TransportLimits m_limits;
    std::unique_ptr<MailTransportFactory> m_ownTransports;
    MailTransportFactory* m_transports{nullptr};
};

} // namespace Enrolix
