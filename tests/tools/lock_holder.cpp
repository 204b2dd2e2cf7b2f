// Holds the lock of the working folder named on its command line, as another program's pass
// would, until a line arrives on its standard input or that closes. Says "locked" once it holds
// the lock; exits 1 when it could not take it.
#include "events/WorkingFolderLock.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Enrolix;

int main(int argc, char* argv[])
{
    // The lock file names the program, which tells a live holder from one that died.
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: lock_holder FOLDER/\n", stderr);
        return 2;
    }
    WorkingFolderLock lock(QString::fromLocal8Bit(argv[1]));
    if (lock.lock(std::chrono::seconds(10)) != WorkingFolderLock::Outcome::Locked)
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    std::getchar();
    return 0;
}
