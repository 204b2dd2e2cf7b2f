// Records the transcripts of tests/data/imap from the Dovecot server of the test fixture:
//   tests/mail/mailservers.sh start /tmp/servers.env
//   ENROLIX_MAIL_SERVERS=/tmp/servers.env build/tests/record_imap_transcripts tests/data/imap
// Each transcript holds every request the attendant's IMAP code made and the server's answers
// byte for byte, so the parsing is tested against what a real server says, with no server.
#include "mail/ImapInbox.h"
#include "mail/ImapUnreadSearch.h"
#include "mail/MailProfile.h"
#include "platform/mail/CurlTransport.h"
#include "support/CurlTestClient.h"
#include "support/MailSamples.h"
#include "support/MemorySettingsStore.h"
#include "support/ServerBackend.h"
#include "support/Subjects.h"
#include "support/TestFolders.h"
#include "support/Transcript.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

MailProfile profileOf(const ServerBackend& server)
{
    MemorySettingsStore store;
    server.configure(store, QStringLiteral("p"));
    return MailProfile::read(store, QStringLiteral("p"), {});
}

std::unique_ptr<MailTransport> recording(const MailProfile& profile, const QString& path)
{
    QFile::remove(path);
    auto curl = std::make_unique<CurlTransport>(profile, QStringLiteral("secret"), TransportLimits{}, nullptr);
    return std::make_unique<RecordingTransport>(std::move(curl), path);
}

QByteArray request(int i)
{
    return requestMail(Subjects::kRegister, QStringLiteral("E00001"), QStringLiteral("Person %1").arg(i),
                       QStringLiteral("person%1@example.org").arg(i));
}

// A whole session: sign-on, the unread mails, one handled, one left, one not reached.
void recordSession(const QString& folder)
{
    ServerBackend server(folder);
    for (int i = 1; i <= 3; ++i)
        server.deliver(request(i));
    const MailProfile profile = profileOf(server);
    ImapInbox inbox(profile, recording(profile, folder + QStringLiteral("/session.transcript")));
    if (!inbox.open())
        return;
    const std::optional<QStringList> ids = inbox.unread();
    if (!ids || ids->size() != 3)
        return;
    inbox.fetch(ids->at(0));
    inbox.markRead(ids->at(0));
    inbox.fetch(ids->at(1));
    inbox.leaveUnread(ids->at(1));
    inbox.close();
}

// The sign-on after a session that fetched two mails and died: both are made unread again.
void recordRestore(const QString& folder)
{
    ServerBackend server(folder);
    for (int i = 1; i <= 2; ++i)
        server.deliver(request(i));
    const MailProfile profile = profileOf(server);
    {
        ImapInbox dying(profile,
                        std::make_unique<CurlTransport>(profile, QStringLiteral("secret"), TransportLimits{}, nullptr));
        if (!dying.open() || !dying.unread())
            return;
        dying.fetch(QStringLiteral("1"));
        dying.fetch(QStringLiteral("2"));
    }
    ImapInbox inbox(profile, recording(profile, folder + QStringLiteral("/restore.transcript")));
    inbox.open();
}

// Answers that carry responses nobody asked for: another client adds a mail and flags one.
void recordUnsolicited(const QString& folder)
{
    ServerBackend server(folder);
    for (int i = 1; i <= 2; ++i)
        server.deliver(request(i));
    const MailProfile profile = profileOf(server);
    std::unique_ptr<MailTransport> transport = recording(profile, folder + QStringLiteral("/unsolicited.transcript"));
    const QByteArray url = ImapInbox::canonicalFolder(profile.inbox);
    transport->request(url, "NOOP");
    server.deliver(request(3));
    CurlTestClient other(server.value(QStringLiteral("ENROLIX_MAIL_CA")), server.user());
    other.request(url, "UID STORE 1 +FLAGS.SILENT (\\Flagged)");
    transport->request(url, "UID SEARCH UNSEEN");
}

// An answer with a literal whose lines read like SEARCH and tagged responses.
void recordLiteral(const QString& folder)
{
    ServerBackend server(folder);
    server.deliver(requestMail(Subjects::kRegister,
                               QStringLiteral("* SEARCH 4242\r\nA007 OK Search completed\r\nE00001"),
                               QStringLiteral("Ann"), QStringLiteral("ann@example.org")));
    const MailProfile profile = profileOf(server);
    std::unique_ptr<MailTransport> transport = recording(profile, folder + QStringLiteral("/literal.transcript"));
    const QByteArray url = ImapInbox::canonicalFolder(profile.inbox);
    transport->request(url, "UID FETCH 1 (BODY.PEEK[TEXT])");
    transport->request(url, "UID SEARCH UNSEEN");
}

// A folder of 8,000 mails, every other one read: the unread UIDs make an ESEARCH set of about
// 20 KB, which libcurl cuts, and which is then asked for range by range. The same folder is
// searched as a server without ESEARCH is, in ranges of plain searches.
void recordFragmented(const QString& folder)
{
    ServerBackend server(folder);
    QList<QByteArray> mails;
    for (int i = 1; i <= 8000; ++i)
        mails.append(request(i));
    if (!server.deliverAll(mails))
        return;
    const MailProfile profile = profileOf(server);
    const QByteArray url = ImapInbox::canonicalFolder(profile.inbox);
    CurlTestClient other(server.value(QStringLiteral("ENROLIX_MAIL_CA")), server.user());
    for (int first = 2; first <= 8000; first += 1000) {
        QByteArrayList even;
        for (int uid = first; uid < first + 1000; uid += 2)
            even.append(QByteArray::number(uid));
        other.request(url, ("UID STORE " + even.join(',') + " +FLAGS.SILENT (\\Seen)").constData());
    }
    {
        std::unique_ptr<MailTransport> transport = recording(profile, folder + QStringLiteral("/plain.transcript"));
        transport->request(url, "NOOP");
        ImapUnreadSearch::Folder selected = ImapUnreadSearch::Folder::of(transport->headers());
        selected.extendedSearch = false;
        ImapUnreadSearch(*transport, url).run(selected);
    }
    ImapInbox inbox(profile, recording(profile, folder + QStringLiteral("/fragmented.transcript")));
    if (inbox.open())
        inbox.unread();
    inbox.close();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: record_imap_transcripts FOLDER\n");
        return 2;
    }
    const TestFolders scratch; // the journal of the recorded session goes there
    const QString folder = QString::fromLocal8Bit(argv[1]);
    recordSession(folder);
    recordRestore(folder);
    recordUnsolicited(folder);
    recordLiteral(folder);
    recordFragmented(folder);
    for (const char* name : {"session", "restore", "unsolicited", "literal", "plain", "fragmented"})
        std::printf("%s: %d exchanges\n", name,
                    int(Transcript::read(folder + QLatin1Char('/') + QLatin1String(name) + ".transcript").size()));
    return 0;
}
