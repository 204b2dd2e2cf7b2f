#pragma once

#include "platform/mail/MailSessionFactory.h"

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
    explicit ProfileMailSessionFactory(const SettingsStore& store);

    std::unique_ptr<MailSession> signOn(const QString& profile) override;

private:
    static std::unique_ptr<MailInbox> makeInbox(const MailProfile& profile, const QString& password);
    static std::unique_ptr<MailOutbox> makeOutbox(const MailProfile& profile, const QString& password);

    const SettingsStore& m_store;
};

} // namespace Enrolix
