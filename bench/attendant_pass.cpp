// The attendant's pass against a private Dovecot server and SMTP sink (started here with the
// test scripts): 1,000 request mails over 50 events in one pass, beside a bare libcurl loop over
// the same mails (search, fetch, store, one SMTP send each, no logic), as a ratio of rates.
// Then 1,000 registrations against lists of 10,000 lines beside 1,000 against empty lists, on
// a Maildir, where no network time hides the cost of the lists.
#include "ProfileMailSessionFactory.h"
#include "attendant/PassListener.h"
#include "attendant/ProcessingPass.h"
#include "events/EventFiles.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "settings/Settings.h"
#include "support/CurlTestClient.h"
#include "support/MailServers.h"
#include "support/MemorySettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace Enrolix;

namespace {

constexpr int kMails = 1000;
constexpr int kEvents = 50;
constexpr int kLongList = 10000;
constexpr int kRounds = 3;

class QuietListener final : public PassListener
{
public:
    void statusChanged(const QString&) override {}
    void replySent(qint16) override {}
    void connectionFailed(qint16, const QString&) override { ++failures; }
    int failures{0};
};

QByteArray requestMail(int i, const QString& subject, const QString& event, const QString& name)
{
    return "From: " + name.toUtf8() + " <person" + QByteArray::number(i) +
           "@example.org>\r\nTo: registrations@example.com\r\nSubject: " + subject.toUtf8() + "\r\nMessage-ID: <bench" +
           QByteArray::number(i) +
           "@example.org>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n" + event.toUtf8() +
           "\r\n";
}

// The request mix: registrations, cancellations and list requests spread over the events.
QList<QByteArray> requestMails()
{
    QList<QByteArray> mails;
    for (int i = 0; i < kMails; ++i) {
        const QString event = EventFiles::eventNumber(1 + i % kEvents);
        const QString name = QStringLiteral("Person %1").arg(i % 400);
        const int kind = i % 5;
        const QString subject = kind < 3    ? QStringLiteral("Register for Event   (Enrolix)")
                                : kind == 3 ? QStringLiteral("Cancel Event Registration   (Enrolix)")
                                            : QStringLiteral("Request Attendee List   (Enrolix)");
        mails.append(requestMail(i, subject, event, name));
    }
    return mails;
}

void createEvents(const QString& folder, int listLines)
{
    QByteArray list;
    for (int i = 0; i < listLines; ++i)
        list += "Earlier Person " + QByteArray::number(i) + "\r\n";
    for (int e = 1; e <= kEvents; ++e) {
        const QString event = EventFiles::eventNumber(e);
        QFile record(folder + event + QStringLiteral(".sc"));
        QFile description(folder + event + QStringLiteral(".scn"));
        if (record.open(QIODevice::WriteOnly))
            record.write(list);
        if (description.open(QIODevice::WriteOnly))
            description.write("Course " + event.toUtf8() + "\r\nMay 4, 2027\r\n");
    }
}

double runPass(const Settings& settings, SettingsStore& store, int* failures)
{
    ProfileMailSessionFactory factory(store);
    QuietListener listener;
    ProcessingPass pass(settings, factory, listener);
    QElapsedTimer timer;
    timer.start();
    pass.run();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    *failures = listener.failures;
    return seconds;
}

// Registrations only, on Maildir folders, against lists of the given length.
double registrationsSeconds(const QString& root, int listLines)
{
    const QString work = root + QStringLiteral("work/");
    const QString inbox = root + QStringLiteral("inbox/");
    QDir().mkpath(work);
    for (const char* sub : {"tmp", "new", "cur"}) {
        QDir().mkpath(inbox + QLatin1String(sub));
        QDir().mkpath(root + QStringLiteral("outbox/") + QLatin1String(sub));
    }
    createEvents(work, listLines);
    for (int i = 0; i < kMails; ++i) {
        QFile file(inbox + QStringLiteral("new/%1.bench").arg(i, 6, 10, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly))
            file.write(requestMail(i, QStringLiteral("Register for Event   (Enrolix)"),
                                   EventFiles::eventNumber(1 + i % kEvents), QStringLiteral("Person %1").arg(i)));
    }
    Testing::MemorySettingsStore store;
    store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailInbox, MailProfile::kMaildirScheme + inbox);
    store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox,
                MailProfile::kMaildirScheme + root + QStringLiteral("outbox/"));
    Settings settings;
    settings.Working_Files_Directory = work;
    int failures = 0;
    return runPass(settings, store, &failures);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    qputenv("XDG_DATA_HOME", (root.path() + QStringLiteral("/data")).toUtf8());
    // Stopped before the Maildir rounds, which no server may slow.
    std::optional<Testing::MailServers> servers(std::in_place, root.path());
    if (!servers->started())
        return 1;
    const QMap<QString, QString> env = servers->environment();
    const QByteArray user = "bench" + QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray imap = "imap://127.0.0.1:" + env.value(QStringLiteral("ENROLIX_IMAP_PORT")).toUtf8() + "/INBOX";
    const QByteArray smtp = "smtp://127.0.0.1:" + env.value(QStringLiteral("ENROLIX_SMTP_PORT")).toUtf8();

    int exitCode = 0;
    {
        Testing::CurlTestClient client(env.value(QStringLiteral("ENROLIX_MAIL_CA")), QString::fromUtf8(user));
        for (const QByteArray& mail : requestMails())
            client.upload(imap, mail);
        // Both loops meet a warm server: every message read once before. Appending through
        // libcurl marks the messages seen, so they are made unread afterwards.
        client.request(imap, "UID FETCH 1:* (FLAGS BODY.PEEK[])");
        client.request(imap, "UID STORE 1:* -FLAGS.SILENT (\\Seen)");

        const QString work = root.path() + QStringLiteral("/work/");
        QDir().mkpath(work);
        Testing::MemorySettingsStore store;
        using namespace SettingsKeys;
        store.write(kMailProfileName, kMailInbox, QString::fromUtf8(imap));
        store.write(kMailProfileName, kMailOutbox, QString::fromUtf8(smtp));
        store.write(kMailProfileName, kMailUser, QString::fromUtf8(user));
        store.write(kMailProfileName, kMailPassword, QStringLiteral("secret"));
        store.write(kMailProfileName, kMailFrom, QStringLiteral("attendant@example.com"));
        store.write(kMailProfileName, kMailCaFile, env.value(QStringLiteral("ENROLIX_MAIL_CA")));
        Settings settings;
        settings.Working_Files_Directory = work;

        Testing::CurlTestClient sender(env.value(QStringLiteral("ENROLIX_MAIL_CA")), QString::fromUtf8(user));
        curl_slist* recipients = curl_slist_append(nullptr, "<raw@example.org>");
        const QByteArray reply = "From: raw@example.com\r\nTo: raw@example.org\r\nSubject: Raw\r\n\r\nRaw reply\r\n";
        // The machine is shared: the rounds alternate, and each side's best round counts.
        double passSeconds = 1e9;
        double rawSeconds = 1e9;
        int rawCount = 0;
        int failures = 0;
        for (int round = 0; round < kRounds; ++round) {
            createEvents(work, 0);
            passSeconds = std::min(passSeconds, runPass(settings, store, &failures));
            client.request(imap, "UID STORE 1:* -FLAGS.SILENT (\\Seen)");

            QElapsedTimer timer;
            timer.start();
            client.request(imap, "UID SEARCH UNSEEN");
            const QByteArray& answer = client.answer();
            const QList<QByteArray> uids = answer.mid(answer.indexOf("* SEARCH") + 8).simplified().split(' ');
            rawCount = 0;
            for (const QByteArray& uid : uids) {
                const QByteArray flag = "UID STORE " + uid + " +FLAGS.SILENT (\\Seen)";
                if (client.request(imap + ";UID=" + uid) && client.request(imap, flag.constData()) &&
                    sender.upload(smtp + "/bench", reply, recipients))
                    ++rawCount;
            }
            rawSeconds = std::min(rawSeconds, double(timer.nsecsElapsed()) / 1e9);
            client.request(imap, "UID STORE 1:* -FLAGS.SILENT (\\Seen)");
        }
        curl_slist_free_all(recipients);

        const double passRate = kMails / passSeconds;
        const double rawRate = rawCount / rawSeconds;
        std::printf("attendant pass: %d mails in %.2f s = %.0f mails/s; raw libcurl loop: %d mails in %.2f s = %.0f "
                    "mails/s; ratio %.2f (best of %d rounds each)\n",
                    kMails, passSeconds, passRate, rawCount, rawSeconds, rawRate, passRate / rawRate, kRounds);
        if (failures != 0 || rawCount != kMails)
            exitCode = 1;
    }
    servers.reset();

    double empty = 1e9;
    double full = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const QString folder = root.path() + QStringLiteral("/round%1").arg(round);
        empty = std::min(empty, registrationsSeconds(folder + QStringLiteral("/empty/"), 0));
        full = std::min(full, registrationsSeconds(folder + QStringLiteral("/long/"), kLongList));
    }
    std::printf("registrations (Maildir): %d against empty lists in %.2f s; %d against %d-line lists in %.2f s; ratio "
                "%.2f\n",
                kMails, empty, kMails, kLongList, full, full / empty);
    return exitCode;
}
