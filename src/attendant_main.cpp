#include "ProfileMailSessionFactory.h"
#include "attendant/AttendantService.h"
#include "attendant/AttendantTexts.h"
#include "mail/ProfileKeys.h"
#include "platform/DBusDesktopNotifier.h"
#include "platform/IniSettingsStore.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("enrolix"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    using namespace Enrolix;
    const AttendantService::Invocation invocation = AttendantService::parseArguments(arguments, out, err);
    if (invocation.exitCode)
        return *invocation.exitCode;
    // A password in any profile keeps the file private.
    IniSettingsStore store(IniSettingsStore::defaultFilePath(), SettingsKeys::kMailPassword);
    ProfileMailSessionFactory mail(store);
    DBusDesktopNotifier notifier(AttendantTexts::kNoticeApplication, QStringLiteral("enrolix"),
                                 QStringLiteral("enrolix"));
    return AttendantService::run(invocation.once, store, mail, notifier, err);
}
