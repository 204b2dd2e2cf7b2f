#pragma once

#include "gui/AppContext.h"
#include "platform/HelpViewer.h"
#include "platform/SystemInfo.h"
#include "support/FakeBrowser.h"
#include "support/FakeClipboard.h"
#include "support/FakeFileChooser.h"
#include "support/PassRig.h"
#include "support/ScriptedPrompter.h"

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
// settings pointing at the test's own working and page folders. Its mail sessions are those of
// the store's profiles (without one, the test's own Maildir under its data folder), and a pass
// of the attendant runs on them as the windows' passes would.
struct TestContext : PassRig
{
    TestContext()
    {
        // A load of the settings finds the same folders.
        store.set(QStringLiteral("Working_Files_Directory"), folders.work());
        store.set(QStringLiteral("HTML_File_Path"), folders.pages());
        store.set(QStringLiteral("HTML_Nice_File_Path"), settings.HTML_Nice_File_Path);
        store.writes.clear();
    }

    ScriptedPrompter prompter;
    FakeClipboard clipboard;
    FakeHelpViewer help;
    FakeSystemInfo system;
    FakeFileChooser files;
    FakeBrowser browser;
    AppContext context{store, settings, prompter, clipboard, help, system, sessions(), files, keyring, browser, accounts()};
};

} // namespace Enrolix::Testing
