#include "platform/SystemInfo.h"

namespace Enrolix {
namespace {

constexpr quint32 kLocalMachine = 0x80000002u;

} // namespace

bool startSystemInformation(SystemInfo& system)
{
    QString path;
    QString value;
    if (system.GetKeyValue(kLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                           QStringLiteral("PATH"), value)) {
        path = value;
    } else if (system.GetKeyValue(kLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                  QStringLiteral("MSINFO"), value) &&
               system.fileExists(value + QStringLiteral("\\MSINFO32.EXE"))) {
        path = value + QStringLiteral("\\MSINFO32.EXE");
    } else {
        path = system.findOnPath();
    }
    return !path.isEmpty() && system.start(path);
}

} // namespace Enrolix
