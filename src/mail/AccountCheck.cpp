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

std::unique_ptr<MailTransport> AccountCheck::probe(const MailProfile& profile)
{
    return m_transports.openUnsigned(profile, m_limits, m_clock, m_stop);
}

bool AccountCheck::imap(const MailProfile& profile, const Secret& secret)
{
    const QByteArray folder = ImapInbox::canonicalFolder(profile.inbox);
    const QByteArray server = serverOf(folder);
    {
        const std::unique_ptr<MailTransport> unsigned_ = probe(profile);
        const bool reached = unsigned_->request(server, "CAPABILITY");
        if (!step(Kind::IncomingServer, reached, unsigned_->failure().reason))
            return false;
    }
    const ProfileSecret::Resolved resolved = secret();
    if (!resolved.secret)
        return step(Kind::IncomingSignOn, false, resolved.failure);
    const std::unique_ptr<MailTransport> transport =
        m_transports.open(profile, *resolved.secret, m_limits, m_clock, m_stop);
    const bool signedOn = transport->request(server, "NOOP");
    if (!step(Kind::IncomingSignOn, signedOn, transport->failure().reason))
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
    const QByteArray server = profile.outbox.toUtf8();
    {
        const std::unique_ptr<MailTransport> unsigned_ = probe(profile);
        const bool reached = unsigned_->request(server, "NOOP");
        if (!step(Kind::OutgoingServer, reached, unsigned_->failure().reason))
            return false;
    }
    const ProfileSecret::Resolved resolved = secret();
    if (!resolved.secret)
        return step(Kind::OutgoingSignOn, false, resolved.failure);
    const std::unique_ptr<MailTransport> transport =
        m_transports.open(profile, *resolved.secret, m_limits, m_clock, m_stop);
    const bool signedOn = transport->request(server, "NOOP");
    return step(Kind::OutgoingSignOn, signedOn, transport->failure().reason);
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
