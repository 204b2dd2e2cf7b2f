#pragma once

#include "mail/AccountTester.h"
#include "mail/InboxWatcher.h"
#include "mail/MailSessionFactory.h"
#include "mail/MailTransport.h"
#include "mail/ProfileSecret.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace Enrolix {

class Keyring;
class MailInbox;
class MailOutbox;
class MaildirCurIndex;
class SettingsStore;
class SmtpConnections;
struct MailProfile;

// Opens sessions on the mail profiles of the settings store: a Maildir, or IMAP and SMTP
// servers, as each profile's inbox and outbox name them, with the secret from wherever the
// profile keeps it; watches their inboxes: a Maildir's new/ folder, or an IMAP folder in IDLE.
// Tests an account's servers too.
class ProfileMailSessionFactory final : public MailSessionFactory, public InboxWatchers, public AccountTester
{
public:
    // transports: how IMAP and SMTP servers are reached; libcurl when none is given. keyring:
    // the desktop keyring; the Secret Service of the session bus when none is given.
    explicit ProfileMailSessionFactory(SettingsStore& store, const TransportLimits& limits = {},
                                       MailTransportFactory* transports = nullptr, Keyring* keyring = nullptr);
    ~ProfileMailSessionFactory() override;
    Q_DISABLE_COPY_MOVE(ProfileMailSessionFactory)

    SignOn signOn(const QString& profile, std::stop_token stop = {}) override;
    OutboxSignOn openOutbox(const QString& profile, std::stop_token stop = {}) override;
    // The watcher gets the profile's secret as the pass does, on its own thread, at every connection.
    std::unique_ptr<InboxWatcher> watch(const QString& profile, InboxWatcher::Listener& listener,
                                        const WatchTimes& times) override;
    QString test(const MailProfile& profile, const std::optional<QString>& given, const AccountCheck::Report& report,
                 std::stop_token stop) override;

private:
    // The password or token of the named profile, as stored at the time of asking (a rotated
    // refresh token included); nothing, and why, when it cannot be had. The pass and the watcher
    // ask from their own threads.
    std::optional<QString> secretOf(const QString& name, QString& failure, const std::stop_token& stop);
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

    SettingsStore& m_store;
    TransportLimits m_limits;
    std::unique_ptr<MailTransportFactory> m_ownTransports;
    MailTransportFactory* m_transports{nullptr};
    std::unique_ptr<Keyring> m_ownKeyring;
    std::unique_ptr<FormPost> m_tokens;
    ProfileSecret m_secrets;
    // What the passes learnt of a Maildir inbox's read mails, for the next pass.
    std::shared_ptr<MaildirCurIndex> m_curIndex;
    // One sign-on secret at a time: a refresh token the provider rotates must be traded only once.
    std::mutex m_secretMutex;
};

} // namespace Enrolix
