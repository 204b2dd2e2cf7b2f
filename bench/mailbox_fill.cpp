// How tests fill a Dovecot mailbox of the test fixture (started here with the test scripts):
// 500 request mails one APPEND at a time (a connection, an APPEND and a STORE each, as
// ServerBackend::deliver does) beside the same written into the user's Maildir, which Dovecot
// takes in at the next selection (ServerBackend::deliverAll); then 20,000 written so. Prints
// mails a second, and how long the server's first selection of the 20,000 takes.
#include "support/CurlTestClient.h"
#include "support/MailSamples.h"
#include "support/MailServers.h"
#include "support/ServerBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace Enrolix::Testing;

namespace {

double perSecond(int count, qint64 ms)
{
    return ms > 0 ? count * 1000.0 / double(ms) : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const MailServers servers(root.path());
    qputenv("ENROLIX_MAIL_SERVERS", servers.environmentFile().toUtf8());
    int status = 0;
    {
        const QList<QByteArray> few = registrations(500);
        ServerBackend appended(root.path());
        ServerBackend written(root.path());
        ServerBackend many(root.path());
        if (!appended.problem().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(appended.problem()));
            status = 1;
        } else {
            QElapsedTimer timer;
            timer.start();
            for (const QByteArray& mail : few)
                appended.deliver(mail);
            const double append = perSecond(int(few.size()), timer.restart());
            written.deliverAll(few);
            const double maildir = perSecond(int(few.size()), timer.elapsed());
            std::printf(
                "500 mails: APPEND one at a time %.0f mails/s, into the Maildir %.0f mails/s (%.0f times as fast)\n",
                append, maildir, append > 0 ? maildir / append : 0);
            const QList<QByteArray> all = registrations(20000);
            timer.restart();
            const bool delivered = many.deliverAll(all);
            const qint64 writing = timer.restart();
            const int unread = many.unreadCount();
            std::printf(
                "20000 mails into the Maildir: %.1f s, %.0f mails/s; first selection and count: %.1f s, %d unread\n",
                writing / 1000.0, perSecond(int(all.size()), writing), timer.elapsed() / 1000.0, unread);
            status = delivered && unread == 20000 ? 0 : 1;
        }
    }
    return status;
}
