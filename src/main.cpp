#include "admin/AppContext.h"
#include "admin/Windows.h"
#include "platform/DesktopClipboard.h"
#include "platform/DesktopHelpViewer.h"
#include "platform/DesktopPrompter.h"
#include "platform/IniSettingsStore.h"
#include "platform/SystemInfo_unix.h"
#include "mail/ProfileMailSessionFactory.h"
#include "settings/CounterFileCheck.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("enrolix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/enrolix.png")));
    // The program ends through the main window (Exit or its frame), never because the last
    // visible window went away while another is about to be shown.
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace Enrolix;
    // The default folder is the embedded default of all three folder settings.
    prepareDefaultDataFolder();

    IniSettingsStore store;
    Settings settings;
    DesktopPrompter prompter;
    DesktopClipboard clipboard;
    DesktopHelpViewer help;
    UnixSystemInfo system;
    ProfileMailSessionFactory mail(store);
    AppContext context{store, settings, prompter, clipboard, help, system, mail};

    Windows windows(context);
    windows.startUp();
    return QApplication::exec();
}
