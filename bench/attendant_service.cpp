// enrolix-attendant --once over 200 request mails against the test fixture's Dovecot server
// and SMTP sink, reached through a loopback proxy that holds every chunk 10 ms each way (a
// server 20 ms away), beside a plain sequential loop over the same mails through the same
// proxy (its own sign-on, one search, then per mail one fetch and one SMTP send, no logic); then
// the same with no delay. Prints both rates and their ratio, medians of 5 rounds. Delays named
// as arguments (`bench_attendant_service 0`) run instead of those two.
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
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

constexpr int kMails = 200;
constexpr int kRounds = 5;
constexpr int kEvents = 10;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

class Bench
{
public:
    Bench(const QString& root, const QMap<QString, QString>& env) : m_root(root), m_env(env) {}

    // Rates in mails a second: the attendant's pass, then the plain loop, over the same mails.
    std::pair<double, double> round(int round, int imapPort, int smtpPort)
    {
        const QString user = QStringLiteral("bench%1-%2").arg(QCoreApplication::applicationPid()).arg(round);
        const QByteArray imap = "imap://127.0.0.1:" + QByteArray::number(imapPort) + "/INBOX";
        const QByteArray smtp = "smtp://127.0.0.1:" + QByteArray::number(smtpPort);
        CurlTestClient client(m_env.value(QStringLiteral("ENROLIX_MAIL_CA")), user);
        for (int i = 0; i < kMails; ++i)
            client.append(imap,
                          requestMail(QStringLiteral("Register for Event   (Enrolix)"),
                                      EventFiles::eventNumber(1 + i % kEvents), QStringLiteral("Person %1").arg(i),
                                      QStringLiteral("p%1@example.org").arg(i)));
        const double pass = attendantRate(user, imap, smtp);
        client.request(imap, "UID STORE 1:* -FLAGS.SILENT (\\Seen)");
        return {pass, loopRate(user, imap, smtp)};
    }

private:
    double attendantRate(const QString& user, const QByteArray& imap, const QByteArray& smtp)
    {
        const QString work = m_root + QStringLiteral("/work-") + user + QLatin1Char('/');
        QDir().mkpath(work);
        for (int e = 1; e <= kEvents; ++e) {
            QFile record(work + EventFiles::eventNumber(e) + QStringLiteral(".sc"));
            QFile description(work + EventFiles::eventNumber(e) + QStringLiteral(".scn"));
            if (record.open(QIODevice::WriteOnly) && description.open(QIODevice::WriteOnly))
                description.write("Course\r\nMay 4, 2027\r\n");
        }
        const AttendantHome home(m_root + QStringLiteral("/home-") + user);
        home.setOption(SettingsKeys::kWorkingFilesDirectory, work);
        home.useServers(QString::fromUtf8(imap), QString::fromUtf8(smtp), user, QStringLiteral("attendant@example.com"),
                        m_env.value(QStringLiteral("ENROLIX_MAIL_CA")));
        QProcess attendant;
        attendant.setProcessEnvironment(home.environment());
        QElapsedTimer timer;
        timer.start();
        attendant.start(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        attendant.waitForFinished(600000);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const QByteArray log = attendant.readAllStandardError();
        if (!log.startsWith("pass: " + QByteArray::number(kMails) + " replies sent"))
            std::fprintf(stderr, "attendant: %s", log.constData());
        return kMails / seconds;
    }

    // Opens its own connections inside the timed span, as the attendant's pass must.
    double loopRate(const QString& user, const QByteArray& imap, const QByteArray& smtp) const
    {
        QElapsedTimer timer;
        timer.start();
        CurlTestClient client(m_env.value(QStringLiteral("ENROLIX_MAIL_CA")), user);
        CurlTestClient sender(m_env.value(QStringLiteral("ENROLIX_MAIL_CA")), QStringLiteral("raw"));
        curl_slist* recipients = curl_slist_append(nullptr, "<raw@example.org>");
        const QByteArray reply = "From: raw@example.com\r\nTo: raw@example.org\r\nSubject: Raw\r\n\r\nRaw reply\r\n";
        int sent = 0;
        if (const std::optional<QList<QByteArray>> uids = client.unread(imap)) {
            for (const QByteArray& uid : *uids) {
                if (client.request(imap + ";UID=" + uid) && sender.upload(smtp + "/bench", reply, recipients))
                    ++sent;
            }
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        curl_slist_free_all(recipients);
        if (sent != kMails)
            std::fprintf(stderr, "plain loop: %d of %d mails\n", sent, kMails);
        return sent / seconds;
    }

    QString m_root;
    QMap<QString, QString> m_env;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> delays;
    for (const QString& argument : app.arguments().mid(1)) {
        bool number = false;
        delays << argument.toInt(&number);
        if (!number || delays.last() < 0) {
            std::fprintf(stderr, "usage: bench_attendant_service [DELAY_MS_EACH_WAY...]\n");
            return 2;
        }
    }
    if (delays.isEmpty())
        delays = {10, 0};
    QTemporaryDir root;
    const MailServers servers(root.path());
    const QMap<QString, QString>& env = servers.environment();
    if (env.isEmpty()) {
        std::fprintf(stderr, "the mail servers did not start\n");
        return 1;
    }
    Bench bench(root.path(), env);
    int round = 0;
    for (const int delay : std::as_const(delays)) {
        const QStringList options{QStringLiteral("--delay-ms"), QString::number(delay)};
        FaultProxy imap(env.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt(), options);
        FaultProxy smtp(env.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt(), options);
        QList<double> passRates;
        QList<double> loopRates;
        QList<double> ratios;
        for (int i = 0; i < kRounds; ++i) {
            const auto [pass, loop] = bench.round(++round, imap.port(), smtp.port());
            passRates << pass;
            loopRates << loop;
            ratios << pass / loop;
        }
        std::printf("attendant --once, %d mails, %d ms each way: %.1f mails/s; plain loop: %.1f mails/s; ratio %.2f "
                    "(medians of %d)\n",
                    kMails, delay, median(passRates), median(loopRates), median(ratios), kRounds);
        std::fflush(stdout);
    }
    return 0;
}
