#pragma once

#include "platform/mail/MailSessionFactory.h"
#include "platform/mail/TransportLimits.h"

namespace Enrolix {

class MailInbox;
class MailOutbox;
class SettingsStore;
struct MailProfile;

// Opens sessions on the mail profiles of the settings store: a Maildir, or IMAP and SMTP
// servers, as each profile's inbox and outbox name them.
class ProfileMailSessionFactory final : public MailSessionFactory
{
public:
    explicit ProfileMailSessionFactory(const SettingsStore& store, const TransportLimits& limits = {});

    SignOn signOn(const QString& profile) override;

private:
    std::unique_ptr<MailInbox> makeInbox(const MailProfile& profile, const QString& password,
                                         const std::shared_ptr<TroubleClock>& clock) const;
    std::unique_ptr<MailOutbox> makeOutbox(const MailProfile& profile, const QString& password,
                                           const std::shared_ptr<TroubleClock>& clock) const;

    const SettingsStore& m_store;
    TransportLimits m_limits;
};

} // namespace Enrolix
