// enrolix-attendant --once over request mails against the test fixture's Dovecot server and SMTP
// sink, reached through a loopback proxy that holds every chunk a while each way, beside a plain
// sequential loop over the same mails through the same proxy (one connection each, its own
// sign-on inside the timed span, one search, then per mail one fetch and one SMTP send, no
// logic). Three cases: 200 mails straight on loopback and at 10 ms each way (a server 20 ms
// away), and 50 mails at 150 ms each way (a link between continents). The attendant must answer
// every mail in its one pass, or the round counts as a rate of 0. Prints the attendant's SMTP connections, both rates
// and their ratio, medians of the rounds. Delays named as arguments (`bench_attendant_service 0`) run instead of those
// three.
#include "events/EventFiles.h"
#include "mail/ProfileKeys.h"
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

constexpr int kEvents = 10;
// The SMTP connections of the attendant's profile.
constexpr int kConnections = 3;

struct Case
{
    int delayMs;
    int mails;
    int rounds;

    // A link of round trips long enough to make a round take minutes gets fewer mails and rounds.
    static Case forDelay(int delayMs) { return delayMs >= 100 ? Case{delayMs, 50, 3} : Case{delayMs, 200, 5}; }
};

// The way to a server: straight on loopback, or through the delaying proxy.
class Link
{
public:
    Link(int serverPort, int delayMs) : m_port(serverPort)
    {
        if (delayMs == 0)
            return;
        m_proxy = std::make_unique<FaultProxy>(serverPort,
                                               QStringList{QStringLiteral("--delay-ms"), QString::number(delayMs)});
        m_port = m_proxy->port();
    }
    int port() const { return m_port; }

private:
    std::unique_ptr<FaultProxy> m_proxy;
    int m_port{0};
};

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
    std::pair<double, double> round(int round, int mails, int imapPort, int smtpPort)
    {
        const QString user = QStringLiteral("bench%1-%2").arg(QCoreApplication::applicationPid()).arg(round);
        const QByteArray imap = "imap://127.0.0.1:" + QByteArray::number(imapPort) + "/INBOX";
        const QByteArray smtp = "smtp://127.0.0.1:" + QByteArray::number(smtpPort);
        CurlTestClient client(m_env.value(QStringLiteral("ENROLIX_MAIL_CA")), user);
        for (int i = 0; i < mails; ++i)
            client.append(imap,
                          requestMail(QStringLiteral("Register for Event   (Enrolix)"),
                                      EventFiles::eventNumber(1 + i % kEvents), QStringLiteral("Person %1").arg(i),
                                      QStringLiteral("p%1@example.org").arg(i)));
        const double pass = attendantRate(user, mails, imap, smtp);
        client.request(imap, "UID STORE 1:* -FLAGS.SILENT (\\Seen)");
        return {pass, loopRate(user, mails, imap, smtp)};
    }

private:
    double attendantRate(const QString& user, int mails, const QByteArray& imap, const QByteArray& smtp)
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
        home.setProfile(SettingsKeys::kMailSmtpConnections, kConnections);
        QProcess attendant;
        attendant.setProcessEnvironment(home.environment());
        QElapsedTimer timer;
        timer.start();
        attendant.start(QStringLiteral(ENROLIX_ATTENDANT), {QStringLiteral("--once")});
        attendant.waitForFinished(600000);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const QByteArray log = attendant.readAllStandardError();
        // Every mail answered in the one pass, or the rate does not count.
        if (!log.startsWith("pass: " + QByteArray::number(mails) + " replies sent")) {
            std::fprintf(stderr, "attendant: %s", log.constData());
            return 0;
        }
        return mails / seconds;
    }

    // Opens its own connections inside the timed span, as the attendant's pass must.
    double loopRate(const QString& user, int mails, const QByteArray& imap, const QByteArray& smtp) const
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
        if (sent != mails)
            std::fprintf(stderr, "plain loop: %d of %d mails\n", sent, mails);
        return sent / seconds;
    }

    QString m_root;
    QMap<QString, QString> m_env;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QList<Case> cases;
    for (const QString& argument : app.arguments().mid(1)) {
        bool number = false;
        const int delay = argument.toInt(&number);
        if (!number || delay < 0) {
            std::fprintf(stderr, "usage: bench_attendant_service [DELAY_MS_EACH_WAY...]\n");
            return 2;
        }
        cases << Case::forDelay(delay);
    }
    if (cases.isEmpty())
        cases = {Case::forDelay(0), Case::forDelay(10), Case::forDelay(150)};
    QTemporaryDir root;
    const MailServers servers(root.path());
    if (!servers.started())
        return 1;
    const QMap<QString, QString>& env = servers.environment();
    Bench bench(root.path(), env);
    int round = 0;
    for (const Case& run : std::as_const(cases)) {
        const Link imap(env.value(QStringLiteral("ENROLIX_IMAP_PORT")).toInt(), run.delayMs);
        const Link smtp(env.value(QStringLiteral("ENROLIX_SMTP_PORT")).toInt(), run.delayMs);
        QList<double> passRates;
        QList<double> loopRates;
        QList<double> ratios;
        int whole = 0;
        for (int i = 0; i < run.rounds; ++i) {
            const auto [pass, loop] = bench.round(++round, run.mails, imap.port(), smtp.port());
            passRates << pass;
            loopRates << loop;
            ratios << pass / loop;
            whole += pass > 0 ? 1 : 0;
        }
        std::printf("attendant --once, %d SMTP connections, %d mails, %d ms each way: %.1f mails/s, all answered in "
                    "one pass in %d of %d rounds; plain loop (one connection each): %.1f mails/s; ratio %.2f (medians "
                    "of %d)\n",
                    kConnections, run.mails, run.delayMs, median(passRates), whole, run.rounds, median(loopRates),
                    median(ratios), run.rounds);
        std::fflush(stdout);
    }
    return 0;
}
