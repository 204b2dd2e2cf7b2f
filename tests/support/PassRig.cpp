#include "support/PassRig.h"

#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/MailBackend.h"

namespace Enrolix::Testing {

PassRig::PassRig(const TransportLimits& limits)
    : m_profiles(std::make_unique<ProfileMailSessionFactory>(store, limits, nullptr, &keyring)), m_sessions(m_profiles.get())
{
}

PassRig::PassRig(MailSessionFactory& sessions) : m_sessions(&sessions) {}

void PassRig::useMail(const MailBackend& backend)
{
    backend.configure(store, SettingsKeys::kMailProfileName);
}

void PassRig::setLimits(const TransportLimits& limits)
{
    m_pass.reset();
    m_profiles = std::make_unique<ProfileMailSessionFactory>(store, limits, nullptr, &keyring);
    m_sessions = m_profiles.get();
}

ProcessingPass& PassRig::pass()
{
    if (!m_pass)
        m_pass = std::make_unique<ProcessingPass>(settings, *m_sessions, listener);
    return *m_pass;
}

void PassRig::writeSettingsFile(const TestFolders& folders, const MailBackend& backend)
{
    IniSettingsStore store;
    backend.configure(store, SettingsKeys::kMailProfileName);
    store.write(SettingsKeys::kOptions, SettingsKeys::kWorkingFilesDirectory, folders.work());
}

} // namespace Enrolix::Testing
