#pragma once

#include "mail/MailProfile.h"
#include "mail/TransportLimits.h"
#include "platform/mail/WatchSource.h"

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>

struct mailimap;

namespace Enrolix {

// A second connection to the IMAP server of a profile, kept in IDLE (RFC 2177) on its inbox folder,
// through libetpan, since libcurl has no IDLE. It signs on as the pass does: TLS from the start for
// imaps://; for imap:// STARTTLS whenever offered, and required before a password or token goes to a
// host that is not this machine, unless the profile says tls=off; the certificate checked against the
// system's authorities and the profile's ca_file; the secret asked for afresh at every connection.
class ImapIdleSource final : public WatchSource
{
public:
    // The password or access token of the profile; nothing, with why, when it cannot be had. stop:
    // asked when the watch is interrupted while the secret is still being fetched.
    using Secret = std::function<std::optional<QString>(QString& failure, const std::stop_token& stop)>;

    // renew: how often IDLE is ended and begun again.
    ImapIdleSource(const MailProfile& profile, Secret secret, const TransportLimits& limits,
                   WatchTimes::Duration renew);
    ~ImapIdleSource() override;
    Q_DISABLE_COPY_MOVE(ImapIdleSource)

    bool open(int wake) override;
    InboxWatcher::Watching watching() const override;
    bool wait(int wake, const std::function<void()>& arrived) override;
    void close() override;
    void interrupt() override;
    QString failure() const override { return m_failure; }

private:
    // Sets the failure, with the server's address, and returns false.
    bool fail(const QString& reason);
    bool failWith(int code, const QString& refused);
    bool connect(int wake);
    // TLS as the profile and the server call for, the server's certificate checked.
    bool secure();
    bool trustedPeer();
    bool signOn(const QString& secret);
    int signOnWithBearer(const QString& token);
    bool refreshCapabilities();
    // Waits until the server says something, the time comes or the wake descriptor becomes readable.
    enum class Ready { Data, Timeout, Woken };
    Ready readyUntil(int wake, WatchTimes::Duration time) const;

    MailProfile m_profile;
    Secret m_secret;
    TransportLimits m_limits;
    WatchTimes::Duration m_renew;
    // "imap://host:port", as failures name the server; host, port and folder as the profile's inbox names them.
    QString m_server;
    QString m_host;
    quint16 m_port{0};
    QByteArray m_folder;
    bool m_implicitTls{false};
    mailimap* m_imap{nullptr};
    bool m_offersIdle{false};
    QString m_failure;
    // The connection's socket, which interrupt() shuts down from another thread.
    std::mutex m_socketMutex;
    int m_socket{-1};
    bool m_interrupted{false};
    // Cuts short the fetching of the secret (a token endpoint, a password command) on interrupt().
    std::stop_source m_stopSecret;
};

} // namespace Enrolix
