// enrolix-attendant as a service on the embedded Maildir default, for its memory: REQUESTS
// registrations (50,000 unless given) for 50 events, delivered into inbox/new in rounds of 500,
// with the resident memory of the service (VmRSS) after every 1,000 answered and how far it moved
// after the first 1,000; then an empty pass over the read mails the service left in inbox/cur:
// its time, in this process through the same adapters (the first pass reads cur/ through, a later
// one finds it unchanged), and the peak memory (VmHWM) of a service whose first pass it is,
// beside that of a service on an empty inbox. The tree goes under TMPDIR, or when that is not
// set onto /dev/shm: on a disk the syncs of every answer make the run take half an hour.
#include "ProfileMailSessionFactory.h"
#include "attendant/ProcessingPass.h"
#include "events/EventFiles.h"
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/MailSamples.h"
#include "support/RecordingPassListener.h"
#include "support/TestFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

constexpr int kRequests = 50000;
constexpr int kRound = 500;
constexpr int kEvents = 50;
constexpr int kReportEvery = 1000;
// A pass of one round takes seconds; one that takes this long is stuck.
constexpr int kPassTimeoutMs = 300000;

// A field of /proc/PID/status in MB, 0 when it cannot be read.
double statusMb(qint64 pid, const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// enrolix-attendant without --once on the test tree's XDG folders, and the log lines of its passes.
class Service
{
public:
    Service()
    {
        m_process.setProgram(QStringLiteral(ENROLIX_ATTENDANT));
        // One line on standard error per pass, besides how it watches and its notices.
        m_process.setReadChannel(QProcess::StandardError);
        m_process.start();
        m_process.waitForStarted();
    }
    ~Service()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(kPassTimeoutMs))
            m_process.kill();
    }

    qint64 pid() const { return m_process.processId(); }

    // The replies the next pass sent; nothing when it failed or none ended in time.
    std::optional<int> nextPass()
    {
        QByteArray line;
        // The lines of how the service watches and of its notices are not those of a pass.
        while (line.isEmpty() || line.startsWith("watching: ") || line.startsWith("notice: ")) {
            while (!m_process.canReadLine()) {
                if (!m_process.waitForReadyRead(kPassTimeoutMs)) {
                    std::fprintf(stderr, "service: no pass ended\n");
                    return std::nullopt;
                }
            }
            line = m_process.readLine().trimmed();
        }
        if (!line.startsWith("pass: ") || line.startsWith("pass: not connected")) {
            std::fprintf(stderr, "service: %s\n", line.constData());
            return std::nullopt;
        }
        return line.mid(6).split(' ').first().toInt();
    }

private:
    QProcess m_process;
};

// Requests first .. first + count - 1, delivered as a mail delivery agent does: written under
// tmp/, then moved into new/, so the service never reads half a mail.
void deliver(const QString& inbox, int first, int count)
{
    for (int n = first; n < first + count; ++n) {
        const QString name = QStringLiteral("%1.M%2P%3.bench")
                                 .arg(QDateTime::currentSecsSinceEpoch())
                                 .arg(n)
                                 .arg(QCoreApplication::applicationPid());
        QFile file(inbox + QStringLiteral("tmp/") + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(requestMail(QStringLiteral("Register for Event   (Enrolix)"),
                                   EventFiles::eventNumber(1 + n % kEvents), QStringLiteral("Person %1").arg(n),
                                   QStringLiteral("p%1@example.org").arg(n)));
        file.close();
        QFile::rename(file.fileName(), inbox + QStringLiteral("new/") + name);
    }
}

// Answers the requests round by round and prints the service's memory; false when it failed.
bool answer(const QString& inbox, int requests)
{
    Service service;
    std::optional<double> lowest;
    double highest = 0;
    int answered = 0;
    for (int delivered = 0; delivered < requests;) {
        const int round = std::min(kRound, requests - delivered);
        deliver(inbox, delivered, round);
        delivered += round;
        while (answered < delivered) {
            const std::optional<int> replies = service.nextPass();
            if (!replies)
                return false;
            answered += *replies;
        }
        if (delivered % kReportEvery != 0 && delivered != requests)
            continue;
        const double rss = statusMb(service.pid(), "VmRSS");
        std::printf("%6d requests answered: %.1f MB resident\n", answered, rss);
        std::fflush(stdout);
        lowest = std::min(lowest.value_or(rss), rss);
        highest = std::max(highest, rss);
    }
    std::printf("from %d requests on: %.1f to %.1f MB resident, %.1f MB apart (target: within 5 MB)\n", kReportEvery,
                *lowest, highest, highest - *lowest);
    return true;
}

// Times empty passes in this process, on the settings and the mail profile the service uses.
void timeEmptyPasses(int mails)
{
    IniSettingsStore store(IniSettingsStore::defaultFilePath(), SettingsKeys::kMailPassword);
    Settings settings;
    settings.LoadSettings(store);
    ProfileMailSessionFactory mail(store);
    RecordingPassListener listener;
    ProcessingPass pass(settings, mail, listener);
    for (const char* which : {"first, reads cur/ through", "later, cur/ unchanged"}) {
        // The processor time beside the time on the clock, which a busy machine stretches.
        const std::clock_t processor = std::clock();
        QElapsedTimer timer;
        timer.start();
        const PassReport report = pass.run();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double processorMs = double(std::clock() - processor) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("empty pass over %d read mails (%s): %.1f ms, %.1f ms of processor time%s (target: under 50 ms)\n",
                    mails, which, ms, processorMs,
                    report.failure.isEmpty() ? "" : qPrintable(QStringLiteral(", failed: ") + report.failure));
    }
}

// The peak memory of a service once its first pass is over, in MB; 0 when the pass failed.
double peakOfFirstPass()
{
    Service service;
    return service.nextPass() ? statusMb(service.pid(), "VmHWM") : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int requests = kRequests;
    if (argc > 1) {
        bool number = false;
        requests = app.arguments().at(1).toInt(&number);
        if (!number || requests < kReportEvery) {
            std::fprintf(stderr, "usage: bench_service_memory [REQUESTS, at least %d]\n", kReportEvery);
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("TMPDIR") && QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    const TestFolders folders;
    std::printf("in %s\n", qPrintable(folders.root()));
    const QString data = folders.root() + QStringLiteral("data/enrolix/");
    const QString inbox = data + QStringLiteral("mail/inbox/");
    for (const char* sub : {"tmp", "new", "cur"})
        QDir().mkpath(inbox + QLatin1String(sub));
    for (int e = 1; e <= kEvents; ++e) {
        folders.write(data + EventFiles::eventNumber(e) + QStringLiteral(".sc"), {});
        folders.write(data + EventFiles::eventNumber(e) + QStringLiteral(".scn"), "Course\r\nMay 4, 2027\r\n");
    }
    IniSettingsStore(IniSettingsStore::defaultFilePath())
        .write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QStringLiteral("1"));

    if (!answer(inbox, requests))
        return 1;
    // The service's last marks are old enough for cur/'s time to be relied on.
    QThread::sleep(3);
    timeEmptyPasses(requests);
    std::printf("peak memory of a service after an empty pass over %d read mails: %.1f MB (target: under 30 MB)\n",
                requests, peakOfFirstPass());
    // The same on an empty inbox, for what the read mails cost.
    QDir().rename(inbox + QStringLiteral("cur"), inbox + QStringLiteral("cur.read"));
    QDir().mkpath(inbox + QStringLiteral("cur"));
    std::printf("peak memory of a service after an empty pass over an empty inbox: %.1f MB\n", peakOfFirstPass());
    return 0;
}
