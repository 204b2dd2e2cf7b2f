#include "ProfileMailSessionFactory.h"

#include "mail/ImapInbox.h"
#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "mail/SmtpOutbox.h"
#include "mail/TransportSession.h"
#include "platform/SecretServiceKeyring.h"
#include "platform/SettingsStore.h"
#include "platform/mail/CurlFormPost.h"
#include "platform/mail/CurlTransport.h"
#include "platform/mail/ImapIdleSource.h"
#include "platform/mail/MaildirInbox.h"
#include "platform/mail/MaildirOutbox.h"
#include "platform/mail/MaildirSource.h"
#include "platform/mail/WatchLoop.h"
#include "settings/SettingsKeys.h"

namespace Enrolix {
namespace {

// The folder of a "maildir:/absolute/path" location, or nothing for another kind.
std::optional<QString> maildirPath(const QString& location)
{
    if (!location.startsWith(MailProfile::kMaildirScheme))
        return std::nullopt;
    const QString path = location.mid(MailProfile::kMaildirScheme.size());
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return path;
}

// The profile as stored, with the attendant mailbox of the options as its sender of last resort.
MailProfile profileOf(const SettingsStore& store, const QString& name)
{
    using namespace SettingsKeys;
    return MailProfile::read(store, name, store.read(kOptions, kRegAttend, kDefaultRegAttend));
}

bool hasScheme(const QString& location, std::initializer_list<const char*> schemes)
{
    for (const char* scheme : schemes) {
        if (location.startsWith(QLatin1String(scheme) + QStringLiteral("://"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

namespace {

Keyring& keyringOr(Keyring* given, std::unique_ptr<Keyring>& own)
{
    if (given)
        return *given;
    own = std::make_unique<SecretServiceKeyring>(SettingsKeys::kKeyringService);
    return *own;
}

} // namespace

ProfileMailSessionFactory::ProfileMailSessionFactory(SettingsStore& store, const TransportLimits& limits,
                                                     MailTransportFactory* transports, Keyring* keyring)
    : m_store(store), m_limits(limits), m_transports(transports), m_tokens(std::make_unique<CurlFormPost>()),
      m_secrets(keyringOr(keyring, m_ownKeyring), *m_tokens, limits), m_curIndex(std::make_shared<MaildirCurIndex>())
{
    if (!m_transports) {
        m_ownTransports = std::make_unique<CurlTransportFactory>();
        m_transports = m_ownTransports.get();
    }
}

ProfileMailSessionFactory::~ProfileMailSessionFactory() = default;

std::unique_ptr<MailInbox> ProfileMailSessionFactory::makeInbox(const MailProfile& profile, const QString& password,
                                                                const std::shared_ptr<TroubleClock>& clock,
                                                                const std::stop_token& stop) const
{
    if (const std::optional<QString> path = maildirPath(profile.inbox))
        return std::make_unique<MaildirInbox>(*path, *path == MailProfile::defaultInboxFolder(), m_curIndex);
    if (hasScheme(profile.inbox, {"imap", "imaps"}))
        return std::make_unique<ImapInbox>(profile, m_transports->open(profile, password, m_limits, clock, stop));
    return nullptr;
}

std::unique_ptr<MailOutbox>
ProfileMailSessionFactory::makeOutbox(const MailProfile& profile, const QString& password,
                                      const std::shared_ptr<TroubleClock>& clock, const std::stop_token& stop,
                                      const std::shared_ptr<SmtpConnections>& connections) const
{
    if (const std::optional<QString> path = maildirPath(profile.outbox))
        return std::make_unique<MaildirOutbox>(*path, *path == MailProfile::defaultOutboxFolder());
    if (hasScheme(profile.outbox, {"smtp", "smtps"}))
        return std::make_unique<SmtpOutbox>(profile, m_transports->open(profile, password, m_limits, clock, stop),
                                            connections);
    return nullptr;
}

std::vector<std::unique_ptr<MailOutbox>>
ProfileMailSessionFactory::makeOutboxes(const MailProfile& profile, const QString& password,
                                        const std::shared_ptr<TroubleClock>& clock, const std::stop_token& stop) const
{
    std::vector<std::unique_ptr<MailOutbox>> outboxes;
    // Each connection signs on at its first reply: a short pass opens only those it needs.
    const int connections = maildirPath(profile.outbox) ? 1 : profile.smtpConnections;
    const auto shared = std::make_shared<SmtpConnections>();
    for (int i = 0; i < connections; ++i) {
        std::unique_ptr<MailOutbox> outbox = makeOutbox(profile, password, clock, stop, shared);
        if (!outbox)
            return {};
        outboxes.push_back(std::move(outbox));
    }
    return outboxes;
}

std::optional<QString> ProfileMailSessionFactory::secretOf(const QString& name, QString& failure,
                                                           const std::stop_token& stop)
{
    const std::lock_guard<std::mutex> lock(m_secretMutex);
    const ProfileSecret::Resolved resolved =
        m_secrets.resolve(profileOf(m_store, name), std::nullopt, stop, &m_store, name);
    failure = resolved.failure;
    return resolved.secret;
}

OutboxSignOn ProfileMailSessionFactory::openOutbox(const QString& name, std::stop_token stop)
{
    const MailProfile profile = profileOf(m_store, name);
    QString failure;
    const std::optional<QString> password = secretOf(name, failure, stop);
    if (!password)
        return {nullptr, {}, failure};
    std::unique_ptr<MailOutbox> outbox =
        makeOutbox(profile, *password, std::make_shared<TroubleClock>(m_limits.troubleBudget), stop);
    if (!outbox)
        return {nullptr, {}, outboxProblem(profile)};
    return {std::move(outbox), profile.sender(), {}};
}

QString ProfileMailSessionFactory::outboxProblem(const MailProfile& profile)
{
    return QStringLiteral("outbox %1: not a maildir:, smtp:// or smtps:// address").arg(profile.outbox);
}

SignOn ProfileMailSessionFactory::signOn(const QString& name, std::stop_token stop)
{
    const MailProfile profile = profileOf(m_store, name);
    QString failure;
    const std::optional<QString> password = secretOf(name, failure, stop);
    if (!password)
        return {nullptr, failure};
    // The connections of the session share one allowance for slow servers.
    const auto clock = std::make_shared<TroubleClock>(m_limits.troubleBudget);
    std::unique_ptr<MailInbox> inbox = makeInbox(profile, *password, clock, stop);
    if (!inbox)
        return {nullptr, QStringLiteral("inbox %1: not a maildir:, imap:// or imaps:// address").arg(profile.inbox)};
    std::vector<std::unique_ptr<MailOutbox>> outboxes = makeOutboxes(profile, *password, clock, stop);
    if (outboxes.empty())
        return {nullptr, outboxProblem(profile)};
    if (!inbox->open())
        return {nullptr, inbox->failure()};
    return {
        std::make_unique<TransportSession>(std::move(inbox), std::move(outboxes), profile.sender(), std::move(stop)),
        {}};
}

std::unique_ptr<InboxWatcher> ProfileMailSessionFactory::watch(const QString& name, InboxWatcher::Listener& listener,
                                                               const WatchTimes& times)
{
    const MailProfile profile = profileOf(m_store, name);
    std::unique_ptr<WatchSource> source;
    if (const std::optional<QString> path = maildirPath(profile.inbox)) {
        source = std::make_unique<MaildirSource>(*path, *path == MailProfile::defaultInboxFolder());
    } else if (hasScheme(profile.inbox, {"imap", "imaps"})) {
        auto secret = [this, name](QString& failure, const std::stop_token& stop) {
            return secretOf(name, failure, stop);
        };
        source = std::make_unique<ImapIdleSource>(profile, secret, m_limits, times.renewIdle);
    }
    if (!source)
        return nullptr;
    return std::make_unique<WatchLoop>(std::move(source), listener, times);
}

QString ProfileMailSessionFactory::test(const MailProfile& profile, const std::optional<QString>& given,
                                        const AccountCheck::Report& report, std::stop_token stop)
{
    AccountCheck check(*m_transports, m_limits, stop, report);
    // Asked once, after a server was reached: a rotated refresh token must be used only once.
    std::optional<ProfileSecret::Resolved> resolved;
    const auto secret = [&] {
        if (!resolved) {
            const std::lock_guard<std::mutex> lock(m_secretMutex);
            resolved = m_secrets.resolve(profile, given, stop);
        }
        return *resolved;
    };
    bool ok = true;
    if (const std::optional<QString> path = maildirPath(profile.inbox)) {
        MaildirInbox inbox(*path, *path == MailProfile::defaultInboxFolder());
        ok = check.folder(*path, inbox);
    } else {
        ok = check.imap(profile, secret);
    }
    if (ok && !maildirPath(profile.outbox))
        check.smtp(profile, secret);
    return resolved ? resolved->rotatedRefreshToken : QString();
}

} // namespace Enrolix
