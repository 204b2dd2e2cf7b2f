// The in-flight journal of a pass over 20,000 unread mails: recording every UID before the first
// fetch (one write, one sync), reading them back as the next sign-on does after a pass died, and
// forgetting them all at once as close() does for the mails never fetched. Prints milliseconds,
// medians of 5 rounds, in a temporary data folder.
#include "mail/InFlightJournal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>

using namespace Enrolix;

namespace {

constexpr int kMails = 20000;
constexpr int kRounds = 5;

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    qputenv("XDG_DATA_HOME", root.path().toUtf8());
    QStringList entries;
    for (int uid = 1; uid <= kMails; ++uid)
        entries.append(QStringLiteral("1796729741:%1").arg(uid));
    std::array<QList<qint64>, 3> times;
    for (int round = 0; round < kRounds; ++round) {
        InFlightJournal journal(QStringLiteral("imap://127.0.0.1:143/INBOX"), QStringLiteral("bench%1").arg(round));
        QElapsedTimer timer;
        timer.start();
        if (!journal.add(entries))
            return 1;
        times[0].append(timer.restart());
        if (journal.pending().size() != kMails)
            return 1;
        times[1].append(timer.restart());
        journal.remove(entries);
        journal.sync();
        times[2].append(timer.elapsed());
        journal.clear();
    }
    for (QList<qint64>& values : times)
        std::sort(values.begin(), values.end());
    std::printf("in-flight journal of %d mails: add %lld ms, pending %lld ms, remove all %lld ms\n", kMails,
                static_cast<long long>(times[0].at(kRounds / 2)), static_cast<long long>(times[1].at(kRounds / 2)),
                static_cast<long long>(times[2].at(kRounds / 2)));
    return 0;
}
