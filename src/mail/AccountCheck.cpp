#include "mail/AccountCheck.h"

#include "mail/ImapInbox.h"
#include "mail/ImapUnreadSearch.h"
#include "mail/MailInbox.h"

#include <QUrl>

namespace Enrolix {
namespace {

using Kind = AccountStep::Kind;

// The server of an address, without a folder: where a command that names no folder goes.
QByteArray serverOf(const QByteArray& folderUrl)
{
    return folderUrl.left(folderUrl.indexOf('/', folderUrl.indexOf("//") + 2) + 1);
}

} // namespace

AccountCheck::AccountCheck(MailTransportFactory& transports, const TransportLimits& limits, std::stop_token stop,
                           Report report)
    : m_transports(transports), m_limits(limits), m_stop(std::move(stop)), m_report(std::move(report)),
      m_clock(std::make_shared<TroubleClock>(limits.troubleBudget))
{
}

QString AccountCheck::folderName(const QString& inbox)
{
    const QByteArray folder = ImapInbox::canonicalFolder(inbox);
    return QUrl::fromPercentEncoding(folder.mid(serverOf(folder).size()));
}

bool AccountCheck::step(Kind kind, bool ok, const QString& reason)
{
    AccountStep done;
    done.kind = kind;
    done.ok = ok;
    done.reason = reason;
    m_report(done);
    return ok;
}

std::unique_ptr<MailTransport> AccountCheck::signOn(const MailProfile& profile, const QByteArray& server,
                                                    const QByteArray& greeting, Kind reached, Kind signedOn,
                                                    const Secret& secret)
{
    {
        const std::unique_ptr<MailTransport> unsigned_ = m_transports.openUnsigned(profile, m_limits, m_clock, m_stop);
        const bool ok = unsigned_->request(server, greeting);
        if (!step(reached, ok, unsigned_->failure().reason))
            return nullptr;
    }
    const ProfileSecret::Resolved resolved = secret();
    if (!resolved.secret) {
        step(signedOn, false, resolved.failure);
        return nullptr;
    }
    std::unique_ptr<MailTransport> transport = m_transports.open(profile, *resolved.secret, m_limits, m_clock, m_stop);
    const bool ok = transport->request(server, "NOOP");
    if (!step(signedOn, ok, transport->failure().reason))
        return nullptr;
    return transport;
}

bool AccountCheck::imap(const MailProfile& profile, const Secret& secret)
{
    const QByteArray folder = ImapInbox::canonicalFolder(profile.inbox);
    const std::unique_ptr<MailTransport> transport =
        signOn(profile, serverOf(folder), "CAPABILITY", Kind::IncomingServer, Kind::IncomingSignOn, secret);
    if (!transport)
        return false;
    AccountStep counted;
    counted.kind = Kind::Folder;
    counted.folder = folderName(profile.inbox);
    // Selecting the folder brings what the search needs to know about it; neither changes a flag.
    if (!transport->request(folder, "NOOP")) {
        counted.reason = transport->failure().reason;
        m_report(counted);
        return false;
    }
    ImapUnreadSearch search(*transport, folder);
    const std::optional<QList<qulonglong>> unread = search.run(ImapUnreadSearch::Folder::of(transport->headers()));
    counted.ok = unread.has_value();
    counted.unread = unread ? unread->size() : 0;
    counted.reason = search.failure();
    m_report(counted);
    return counted.ok;
}

bool AccountCheck::smtp(const MailProfile& profile, const Secret& secret)
{
    return signOn(profile, profile.outbox.toUtf8(), "NOOP", Kind::OutgoingServer, Kind::OutgoingSignOn, secret) !=
           nullptr;
}

bool AccountCheck::folder(const QString& name, MailInbox& inbox)
{
    AccountStep counted;
    counted.kind = Kind::Folder;
    counted.folder = name;
    std::optional<QStringList> unread;
    if (inbox.open())
        unread = inbox.unread();
    counted.ok = unread.has_value();
    counted.unread = unread ? unread->size() : 0;
    counted.reason = counted.ok ? QString() : inbox.failure();
    if (counted.ok)
        inbox.close();
    m_report(counted);
    return counted.ok;
}

} // namespace Enrolix
