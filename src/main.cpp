#include "admin/AppContext.h"
#include "admin/Windows.h"
#include "platform/DataFolder.h"
#include "platform/DesktopClipboard.h"
#include "platform/DesktopPrompter.h"
#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("enrolix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Enrolix"));

    using namespace Enrolix;
    // The default folder is the embedded default of all three folder settings.
    ensureDefaultDataFolder();

    IniSettingsStore store;
    Settings settings;
    DesktopPrompter prompter;
    DesktopClipboard clipboard;
    AppContext context{store, settings, prompter, clipboard};

    settings.LoadSettings(store);
    Windows windows(context);
    windows.attendant();
    windows.showMain();
    return QApplication::exec();
}
