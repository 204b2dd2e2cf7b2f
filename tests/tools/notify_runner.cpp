// Sends the notifications of an event's saved draw on the user's settings file, as Send
// Notifications does, printing a line per mail, so a test can kill it in the middle.
#include "ProfileMailSessionFactory.h"
#include "events/EventFiles.h"
#include "lottery/LotteryDesk.h"
#include "lottery/Notifier.h"
#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Enrolix;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    IniSettingsStore store;
    Settings settings;
    settings.LoadSettings(store);
    const EventFiles files(settings);
    LotteryDesk desk(files);
    if (desk.choose(QString::fromLocal8Bit(argv[1])) || !desk.draw()) {
        std::fprintf(stderr, "no saved draw\n");
        return 2;
    }
    ProfileMailSessionFactory mail(store);
    const NotifyOutcome outcome = Notifier(mail, settings).send(*desk.chosen(), *desk.draw(), [](int done, int total) {
        std::printf("sent %d of %d\n", done, total);
        std::fflush(stdout);
    });
    std::printf("%s\n", qPrintable(outcome.message().text));
    return outcome.kind == NotifyOutcome::Kind::Done || outcome.kind == NotifyOutcome::Kind::NothingLeft ? 0 : 1;
}
