#pragma once

#include "ProfileMailSessionFactory.h"
#include "attendant/ProcessingPass.h"
#include "settings/Settings.h"
#include "support/MemoryKeyring.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingPassListener.h"
#include "support/TestFolders.h"

#include <memory>

namespace Enrolix::Testing {

class MailBackend;

// A processing pass as the attendant runs it, on a private temporary tree: the folders, settings
// pointing at them, a settings store for the attendant's mail profile, and the pass, whose reports
// the listener records. The pass is made at the first run and kept, so its counters run on.
class PassRig
{
public:
    // Sessions on the store's mail profiles, with these limits.
    explicit PassRig(const TransportLimits& limits = {});
    // Sessions from another factory (a scripted mailbox).
    explicit PassRig(MailSessionFactory& sessions);
    PassRig(const PassRig&) = delete;
    PassRig& operator=(const PassRig&) = delete;

    // Points the attendant's mail profile at the backend.
    void useMail(const MailBackend& backend);
    // The folder for a mail backend of the test's.
    QString mailFolder() const { return folders.root() + QStringLiteral("mail/"); }
    // The profiles' limits from now on; the next run is a new pass, its counters from zero.
    void setLimits(const TransportLimits& limits);

    // The mail sessions of the pass.
    MailSessionFactory& sessions() { return *m_sessions; }
    // Test Account on the store's profiles; only for a rig on the store's profiles.
    AccountTester& accounts() { return *m_profiles; }
    ProcessingPass& pass();
    PassReport run() { return pass().run(); }

    // The same set-up for a pass of another process (enrolix-attendant, the runners of
    // tests/tools): the user's settings file names the working folder of folders, and the
    // attendant's mail profile points at the backend.
    static void writeSettingsFile(const TestFolders& folders, const MailBackend& backend);

    TestFolders folders;
    Settings settings{folders.settings()};
    MemorySettingsStore store;
    // The desktop keyring of the store's profiles.
    MemoryKeyring keyring;
    RecordingPassListener listener;

private:
    std::unique_ptr<ProfileMailSessionFactory> m_profiles;
    MailSessionFactory* m_sessions{nullptr};
    std::unique_ptr<ProcessingPass> m_pass;
};

// A pass rig whose mail profile points at a mail backend of its own (MaildirBackend,
// ServerBackend, Backend), kept under mailFolder().
template <typename Mail> class PassRigOn : public PassRig
{
public:
    explicit PassRigOn(const TransportLimits& limits = {}) : PassRig(limits) { useMail(mail); }

    Mail mail{mailFolder()};
};

} // namespace Enrolix::Testing
