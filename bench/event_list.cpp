// Lists a working folder of 10,000 open events (with their description and closed files) the
// way the main window does, beside a bare QDir listing of the same folder, and prints both.
#include "events/EventFiles.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace Enrolix;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kEvents = 10000;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    for (int i = 0; i < kEvents; ++i) {
        const QString event = EventFiles::eventNumber(i);
        for (const QString& suffix : {QStringLiteral(".sc"), QStringLiteral(".scn")})
            QFile(folder + event + suffix).open(QIODevice::WriteOnly);
        if (i % 4 == 0)
            QFile(folder + event + QStringLiteral(".sc.cl")).open(QIODevice::WriteOnly);
    }

    Settings settings;
    settings.Working_Files_Directory = folder;
    EventFiles files(settings);

    QElapsedTimer timer;
    timer.start();
    QStringList events;
    files.listOpenEvents(events);
    const double ours = double(timer.nsecsElapsed()) / 1e6;

    timer.restart();
    const QStringList bare = QDir(folder).entryList({QStringLiteral("*.sc")}, QDir::Files, QDir::Name);
    const double plain = double(timer.nsecsElapsed()) / 1e6;

    std::printf("event list: %lld events in %.2f ms; bare QDir listing: %lld names in %.2f ms; ratio %.2f\n",
                static_cast<long long>(events.size()), ours, static_cast<long long>(bare.size()), plain, ours / plain);
    return events.size() == kEvents ? 0 : 1;
}
