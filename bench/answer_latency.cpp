// How soon enrolix-attendant, running as a service with ten minutes between its timed passes,
// answers a request: 50 requests delivered one at a time at random intervals, each timed from its
// delivery to its reply reaching the outbox. Against the test fixture's Dovecot server and SMTP
// sink on loopback, the same through a proxy that holds every chunk 10 ms each way, and on the
// embedded default Maildir inbox and outbox. Prints p50, p95 and the maximum of each.
#include "events/EventFiles.h"
#include "settings/SettingsKeys.h"
#include "support/AttendantHome.h"
#include "support/CurlTestClient.h"
#include "support/FaultProxy.h"
#include "support/MailSamples.h"
#include "support/MailServers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

constexpr int kRequests = 50;
constexpr int kWaitSeconds = 600;
// Between a reply and the next delivery.
constexpr int kShortestPauseMs = 100;
constexpr int kLongestPauseMs = 2000;
constexpr int kGiveUpMs = 60000;

struct Setup
{
    QString name;
    // Empty for the embedded default Maildir.
    QString imap;
    QString smtp;
};

qint64 percentile(QList<qint64> values, int percent)
{
    std::sort(values.begin(), values.end());
    return values.at(std::min<qsizetype>(values.size() - 1, (values.size() * percent + 99) / 100 - 1));
}

qsizetype filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files).size();
}

class Bench
{
public:
    Bench(const QString& root, const QMap<QString, QString>& env) : m_root(root), m_env(env) {}

    // Delivery-to-reply times in milliseconds; empty when the service did not answer.
    QList<qint64> run(const Setup& setup, int round)
    {
        const QString user = QStringLiteral("latency%1-%2").arg(QCoreApplication::applicationPid()).arg(round);
        const AttendantHome home(m_root + QLatin1Char('/') + user);
        const QString data = home.data();
        const QString from = user + QStringLiteral("@example.com");
        for (const char* sub : {"new", "tmp", "cur"})
            QDir().mkpath(data + QStringLiteral("mail/inbox/") + QLatin1String(sub));
        QFile(data + EventFiles::eventNumber(1) + QStringLiteral(".sc")).open(QIODevice::WriteOnly);
        QFile description(data + EventFiles::eventNumber(1) + QStringLiteral(".scn"));
        if (description.open(QIODevice::WriteOnly))
            description.write("Course\r\nMay 4, 2027\r\n");
        description.close();
        home.setOption(SettingsKeys::kSecondsWait, kWaitSeconds);
        if (!setup.imap.isEmpty())
            home.useServers(setup.imap, setup.smtp, user, from, m_env.value(QStringLiteral("ENROLIX_MAIL_CA")));
        const QString replies = setup.imap.isEmpty() ? data + QStringLiteral("mail/outbox/new")
                                                     : m_env.value(QStringLiteral("ENROLIX_SINK_DIR")) +
                                                           QLatin1Char('/') + from + QStringLiteral("/new");
        CurlTestClient client(m_env.value(QStringLiteral("ENROLIX_MAIL_CA")), user);
        const QByteArray mailbox =
            QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(m_env.value(QStringLiteral("ENROLIX_IMAP_PORT"))).toUtf8();
        // The mail is delivered to the server itself, not through the proxy of the service.
        const std::function<bool(int)> deliver = [&](int i) {
            const QByteArray mail = registrations(1, i).first();
            if (!setup.imap.isEmpty())
                return client.append(mailbox, mail);
            const QString name = QStringLiteral("%1.bench.%2").arg(i).arg(user);
            QFile file(data + QStringLiteral("mail/inbox/tmp/") + name);
            return file.open(QIODevice::WriteOnly) && file.write(mail) == mail.size() && file.flush() &&
                   file.rename(data + QStringLiteral("mail/inbox/new/") + name);
        };
        // Signing on once makes the server create the user's mailbox before the service watches it.
        if (!setup.imap.isEmpty())
            client.request(mailbox, "NOOP");

        QProcess service;
        service.setProcessEnvironment(home.environment());
        service.start(QStringLiteral(ENROLIX_ATTENDANT), QStringList());
        QByteArray log;
        QElapsedTimer settling;
        settling.start();
        // The first pass and the one after the watch was made.
        while (log.count("pass: ") < 2 && settling.elapsed() < kGiveUpMs) {
            service.waitForReadyRead(100);
            log += service.readAllStandardError();
        }
        QList<qint64> times;
        QRandomGenerator random(round);
        for (int i = 0; i < kRequests && log.count("pass: ") >= 2; ++i) {
            const qsizetype before = filesIn(replies);
            if (!deliver(i))
                break;
            QElapsedTimer sinceDelivery;
            sinceDelivery.start();
            while (filesIn(replies) == before && sinceDelivery.elapsed() < kGiveUpMs)
                QThread::msleep(2);
            if (filesIn(replies) == before)
                break;
            times.append(sinceDelivery.elapsed());
            QThread::msleep(random.bounded(kShortestPauseMs, kLongestPauseMs));
        }
        ::kill(pid_t(service.processId()), SIGTERM);
        service.waitForFinished(30000);
        log += service.readAllStandardError();
        if (times.size() != kRequests)
            std::fprintf(stderr, "%s: %lld of %d answered; the service said:\n%s", qPrintable(setup.name),
                         qint64(times.size()), kRequests, log.constData());
        return times.size() == kRequests ? times : QList<qint64>();
    }

private:
    QString m_root;
    QMap<QString, QString> m_env;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const MailServers servers(root.path());
    if (!servers.started())
        return 1;
    const QMap<QString, QString>& env = servers.environment();
    const int imapPort = env.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt();
    const int smtpPort = env.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt();
    const QStringList delay{QStringLiteral("--delay-ms"), QStringLiteral("10")};
    FaultProxy imapProxy(imapPort, delay);
    FaultProxy smtpProxy(smtpPort, delay);
    const auto imap = [](int port) { return QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(port); };
    const auto smtp = [](int port) { return QStringLiteral("smtp://127.0.0.1:%1").arg(port); };
    const QList<Setup> setups{
        {QStringLiteral("IMAP IDLE and SMTP on loopback"), imap(imapPort), smtp(smtpPort)},
        {QStringLiteral("IMAP IDLE and SMTP, 10 ms each way"), imap(imapProxy.port()), smtp(smtpProxy.port())},
        {QStringLiteral("Maildir (the embedded default)"), QString(), QString()},
    };
    Bench bench(root.path(), env);
    int failed = 0;
    for (qsizetype i = 0; i < setups.size(); ++i) {
        const QList<qint64> times = bench.run(setups.at(i), int(i) + 1);
        if (times.isEmpty()) {
            ++failed;
            continue;
        }
        std::printf("answer latency, %s, %d requests, wait %d s: p50 %lld ms, p95 %lld ms, max %lld ms\n",
                    qPrintable(setups.at(i).name), kRequests, kWaitSeconds, percentile(times, 50),
                    percentile(times, 95), *std::max_element(times.cbegin(), times.cend()));
        std::fflush(stdout);
    }
    return failed == 0 ? 0 : 1;
}
