#pragma once

#include "ProfileMailSessionFactory.h"
#include "attendant/ProcessingPass.h"
#include "mail/ProfileKeys.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingPassListener.h"
#include "support/SelectedBackend.h"
#include "support/TestFolders.h"

namespace Enrolix::Testing {

// A processing pass on the mail store of the test's build (SelectedBackend.h), in private
// folders, with the settings a load would leave; a test may change the settings between passes.
struct PassFixture
{
    PassFixture() { backend.configure(store, SettingsKeys::kMailProfileName); }

    // The replies that arrived since the last call, oldest first.
    QList<QByteArray> newReplies()
    {
        const QList<QByteArray> all = backend.replies();
        const QList<QByteArray> fresh = all.mid(seen);
        seen = all.size();
        return fresh;
    }

    TestFolders folders;
    Backend backend{folders.root() + QStringLiteral("mail/")};
    MemorySettingsStore store;
    Settings settings{folders.settings()};
    ProfileMailSessionFactory factory{store};
    RecordingPassListener listener;
    ProcessingPass pass{settings, factory, listener};
    qsizetype seen{0};
};

} // namespace Enrolix::Testing
