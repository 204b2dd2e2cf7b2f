#pragma once

#include "ProfileMailSessionFactory.h"
#include "gui/AppContext.h"
#include "platform/HelpViewer.h"
#include "platform/SystemInfo.h"
#include "support/FakeBrowser.h"
#include "support/FakeClipboard.h"
#include "support/FakeFileChooser.h"
#include "support/MemoryKeyring.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFolders.h"

#include <QStringList>

namespace Enrolix::Testing {

class FakeHelpViewer final : public HelpViewer
{
public:
    void showTopic(const QString& helpFile, const QString& topic, QWidget* owner) override
    {
        shown << helpFile + QLatin1Char('|') + topic;
        lastOwner = owner;
    }
    QStringList shown;
    QWidget* lastOwner{nullptr};
};

// A system without a registry whose PATH holds the given tool (none when empty).
class FakeSystemInfo final : public SystemInfo
{
public:
    bool GetKeyValue(quint32, const QString&, const QString&, QString& KeyVal) override
    {
        KeyVal.clear();
        return false;
    }
    bool fileExists(const QString&) override { return false; }
    QString findOnPath() override { return toolOnPath; }
    bool start(const QString& program) override
    {
        started << program;
        return startSucceeds;
    }
    QString toolOnPath;
    bool startSucceeds{true};
    QStringList started;
};

// Everything a window needs, in a private temporary folder: fakes for every service and
// settings pointing at the test's own working and page folders.
struct TestContext
{
    TestContext()
    {
        // A load of the settings finds the same folders.
        store.set(QStringLiteral("Working_Files_Directory"), folders.work());
        store.set(QStringLiteral("HTML_File_Path"), folders.pages());
        store.set(QStringLiteral("HTML_Nice_File_Path"), settings.HTML_Nice_File_Path);
        store.writes.clear();
    }

    TestFolders folders;
    MemorySettingsStore store;
    Settings settings{folders.settings()};
    ScriptedPrompter prompter;
    FakeClipboard clipboard;
    FakeHelpViewer help;
    FakeSystemInfo system;
    MemoryKeyring keyring;
    // Without a profile in the store, the test's own Maildir under its data folder.
    ProfileMailSessionFactory mail{store, {}, nullptr, &keyring};
    FakeFileChooser files;
    FakeBrowser browser;
    AppContext context{store, settings, prompter, clipboard, help, system, mail, files, keyring, browser, mail};
};

} // namespace Enrolix::Testing
