#include "ProfileMailSessionFactory.h"
#include "admin/Windows.h"
#include "gui/AppContext.h"
#include "mail/ProfileKeys.h"
#include "platform/DesktopBrowser.h"
#include "platform/DesktopClipboard.h"
#include "platform/DesktopFileChooser.h"
#include "platform/DesktopHelpViewer.h"
#include "platform/DesktopPrompter.h"
#include "platform/IniSettingsStore.h"
#include "platform/SecretServiceKeyring.h"
#include "platform/SystemInfo_unix.h"
#include "settings/CounterFileCheck.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("enrolix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/enrolix.png")));
    // The program ends through the main window (Exit or its frame), never because the last
    // visible window went away while another is about to be shown.
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace Enrolix;
    // The data folder is the default working folder, and its pages/ the default page folder.
    prepareDefaultDataFolder();

    // A password in any profile keeps the file private.
    IniSettingsStore store(IniSettingsStore::defaultFilePath(), SettingsKeys::kMailPassword);
    prepareDefaultPageFolder(store);
    Settings settings;
    DesktopPrompter prompter;
    DesktopClipboard clipboard;
    DesktopHelpViewer help;
    UnixSystemInfo system;
    SecretServiceKeyring keyring(SettingsKeys::kKeyringService);
    ProfileMailSessionFactory mail(store, {}, nullptr, &keyring);
    DesktopFileChooser files;
    DesktopBrowser browser;
    AppContext context{store, settings, prompter, clipboard, help, system, mail, files, keyring, browser, mail};

    Windows windows(context);
    windows.startUp();
    const int code = QApplication::exec();
    // Exit ends the program at once, also in the middle of a pass: the journal of fetched mails,
    // the pending replies and the unread flags let the next pass finish its work; the record of
    // sent notifications lets the next Send Notifications go on where this one stopped.
    if (windows.passRunning() || windows.notificationsRunning())
        std::_Exit(code);
    return code;
}
