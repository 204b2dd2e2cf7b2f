#include "platform/mail/ImapIdleSource.h"

#include "mail/ImapInbox.h"
#include "mail/MailTexts.h"
#include "platform/mail/CurlTransport.h"
#include "platform/mail/PeerCertificate.h"
#include "platform/mail/TcpConnect.h"

#include <QUrl>

#include <arpa/inet.h>
#include <libetpan/idle.h>
#include <libetpan/mailimap.h>
#include <libetpan/mailimap_oauth2.h>
#include <libetpan/mailstream_socket.h>
#include <libetpan/mailstream_ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace Enrolix {
namespace {

// Names the host in the TLS handshake (SNI); an address is not named.
void nameServer(mailstream_ssl_context* context, void* host)
{
    QByteArray& name = *static_cast<QByteArray*>(host);
    in6_addr address{};
    if (inet_pton(AF_INET, name.constData(), &address) == 1 || inet_pton(AF_INET6, name.constData(), &address) == 1)
        return;
    mailstream_ssl_set_server_name(context, name.data());
}

} // namespace

ImapIdleSource::ImapIdleSource(const MailProfile& profile, Secret secret, const TransportLimits& limits,
                               WatchTimes::Duration renew)
    : m_profile(profile), m_secret(std::move(secret)), m_limits(limits), m_renew(renew)
{
    const QByteArray folder = ImapInbox::canonicalFolder(profile.inbox);
    const qsizetype slash = folder.indexOf('/', folder.indexOf("://") + 3);
    m_server = QString::fromUtf8(folder.left(slash));
    m_folder = QByteArray::fromPercentEncoding(folder.mid(slash + 1));
    const QUrl server(m_server);
    m_host = server.host();
    m_port = quint16(server.port());
    m_implicitTls = server.scheme() == QLatin1String("imaps");
}

ImapIdleSource::~ImapIdleSource()
{
    close();
}

bool ImapIdleSource::fail(const QString& reason)
{
    m_failure = m_server + QStringLiteral(": ") + reason;
    return false;
}

bool ImapIdleSource::failWith(int code, const QString& refused)
{
    return fail(code == MAILIMAP_ERROR_STREAM || code == MAILIMAP_ERROR_PARSE ? MailTexts::kConnectionLost : refused);
}

bool ImapIdleSource::connect(int wake)
{
    QString reason;
    const int socket = TcpConnect::connect(m_host, m_port, m_limits.connect, wake, reason);
    if (socket < 0)
        return fail(reason);
    {
        const std::lock_guard<std::mutex> lock(m_socketMutex);
        if (m_interrupted) {
            ::close(socket);
            return false;
        }
        m_socket = socket;
    }
    const time_t limit = TransportLimits::wholeSeconds(m_limits.connect);
    QByteArray host = m_host.toUtf8();
    mailstream* stream = m_implicitTls ? mailstream_ssl_open_with_callback_timeout(socket, limit, &nameServer, &host)
                                       : mailstream_socket_open_timeout(socket, limit);
    m_imap = mailimap_new(0, nullptr);
    if (!stream || !m_imap) {
        const std::lock_guard<std::mutex> lock(m_socketMutex);
        if (stream)
            mailstream_close(stream);
        else
            ::close(socket);
        m_socket = -1;
        return fail(m_implicitTls ? MailTexts::kSecureConnectionFailed : MailTexts::kConnectionLost);
    }
    mailimap_set_timeout(m_imap, TransportLimits::wholeSeconds(m_limits.silence));
    mailstream_low_set_timeout(mailstream_get_low(stream), TransportLimits::wholeSeconds(m_limits.silence));
    const int greeting = mailimap_connect(m_imap, stream);
    if (greeting != MAILIMAP_NO_ERROR_AUTHENTICATED && greeting != MAILIMAP_NO_ERROR_NON_AUTHENTICATED)
        return fail(MailTexts::kConnectionLost);
    return true;
}

bool ImapIdleSource::open(int wake)
{
    m_failure.clear();
    m_offersIdle = false;
    QString reason;
    const std::optional<QString> secret = m_secret(reason, m_stopSecret.get_token());
    if (!secret) {
        m_failure = reason;
        return false;
    }
    if (!connect(wake) || !secure() || !signOn(*secret))
        return false;
    const int selected = mailimap_select(m_imap, m_folder.constData());
    if (selected != MAILIMAP_NO_ERROR)
        return failWith(selected, MailTexts::kFolderMissing);
    m_offersIdle = mailimap_has_idle(m_imap);
    return true;
}

bool ImapIdleSource::refreshCapabilities()
{
    mailimap_capability_data* capabilities = nullptr;
    const int code = mailimap_capability(m_imap, &capabilities);
    if (capabilities)
        mailimap_capability_data_free(capabilities);
    return code == MAILIMAP_NO_ERROR || failWith(code, MailTexts::kConnectionLost);
}

bool ImapIdleSource::secure()
{
    if (m_implicitTls)
        return trustedPeer() && refreshCapabilities();
    if (!m_profile.tls)
        return true;
    if (!refreshCapabilities())
        return false;
    if (!mailimap_has_extension(m_imap, const_cast<char*>("STARTTLS"))) {
        // The rule of the pass: a secret goes to another machine only over TLS.
        const bool required = !m_profile.user.isEmpty() && !CurlTransport::isLoopback(m_server.toUtf8());
        return !required || fail(MailTexts::kNoStartTls);
    }
    QByteArray host = m_host.toUtf8();
    const int code = mailimap_socket_starttls_with_callback(m_imap, &nameServer, &host);
    if (code != MAILIMAP_NO_ERROR)
        return fail(MailTexts::kSecureConnectionFailed);
    return trustedPeer() && refreshCapabilities();
}

bool ImapIdleSource::trustedPeer()
{
    carray* chain = mailstream_get_certificate_chain(m_imap->imap_stream);
    if (!chain)
        return fail(MailTexts::kSecureConnectionFailed);
    QList<QByteArray> certificates;
    for (unsigned int i = 0; i < carray_count(chain); ++i) {
        const auto* der = static_cast<const MMAPString*>(carray_get(chain, i));
        certificates.append(QByteArray(der->str, qsizetype(der->len)));
    }
    mailstream_certificate_chain_free(chain);
    return PeerCertificate::trusted(certificates, m_host, m_profile.caFile) || fail(MailTexts::kCertificateNotTrusted);
}

bool ImapIdleSource::signOn(const QString& secret)
{
    if (m_profile.user.isEmpty())
        return true;
    const QByteArray user = m_profile.user.toUtf8();
    const QByteArray key = secret.toUtf8();
    int code = MAILIMAP_NO_ERROR;
    switch (m_profile.signOnMethod().value_or(MailProfile::SignOnMethod::Password)) {
    case MailProfile::SignOnMethod::Password:
        code = mailimap_login(m_imap, user.constData(), key.constData());
        break;
    case MailProfile::SignOnMethod::XOAuth2:
        code = mailimap_oauth2_authenticate(m_imap, user.constData(), key.constData());
        break;
    case MailProfile::SignOnMethod::OAuthBearer:
        code = signOnWithBearer(secret);
        break;
    }
    if (code != MAILIMAP_NO_ERROR) {
        const bool token = m_profile.signOnMethod() != MailProfile::SignOnMethod::Password;
        return failWith(code, token ? MailTexts::kTokenRefused : MailTexts::kSignOnRefused);
    }
    // The capabilities after sign-on are those that count for IDLE.
    return refreshCapabilities();
}

int ImapIdleSource::signOnWithBearer(const QString& token)
{
    // RFC 7628, with the initial response (SASL-IR); libetpan signs on with XOAUTH2 only.
    const QByteArray response = QStringLiteral("n,a=%1,\001host=%2\001port=%3\001auth=Bearer %4\001\001")
                                    .arg(m_profile.user, m_host)
                                    .arg(m_port)
                                    .arg(token)
                                    .toUtf8()
                                    .toBase64();
    const QByteArray command = "AUTHENTICATE OAUTHBEARER " + response + "\r\n";
    mailstream_set_privacy(m_imap->imap_stream, 0);
    const bool sent =
        mailimap_send_current_tag(m_imap) == MAILIMAP_NO_ERROR &&
        mailstream_write(m_imap->imap_stream, command.constData(), size_t(command.size())) == ssize_t(command.size()) &&
        mailstream_flush(m_imap->imap_stream) == 0;
    mailstream_set_privacy(m_imap->imap_stream, 1);
    const char* line = sent ? mailimap_read_line(m_imap) : nullptr;
    if (!line)
        return MAILIMAP_ERROR_STREAM;
    // A refused token gets a challenge with the error first, which the client answers with ^A.
    if (line[0] == '+' &&
        (mailstream_write(m_imap->imap_stream, "AQ==\r\n", 6) != 6 || mailstream_flush(m_imap->imap_stream) != 0))
        return MAILIMAP_ERROR_STREAM;
    mailimap_response* answer = nullptr;
    const int code = mailimap_parse_response(m_imap, &answer);
    if (code != MAILIMAP_NO_ERROR)
        return code;
    const bool accepted =
        answer->rsp_resp_done->rsp_type == MAILIMAP_RESP_DONE_TYPE_TAGGED &&
        answer->rsp_resp_done->rsp_data.rsp_tagged->rsp_cond_state->rsp_type == MAILIMAP_RESP_COND_STATE_OK;
    mailimap_response_free(answer);
    if (!accepted)
        return MAILIMAP_ERROR_LOGIN;
    m_imap->imap_state = MAILIMAP_STATE_AUTHENTICATED;
    return MAILIMAP_NO_ERROR;
}

InboxWatcher::Watching ImapIdleSource::watching() const
{
    return m_offersIdle ? InboxWatcher::Watching::ImapIdle : InboxWatcher::Watching::Nothing;
}

ImapIdleSource::Ready ImapIdleSource::readyUntil(int wake, WatchTimes::Duration time) const
{
    // An answer may already wait in libetpan's buffer, read with the line before it.
    if (m_imap->imap_stream->read_buffer_len > 0)
        return Ready::Data;
    pollfd entries[2] = {{wake, POLLIN, 0}, {m_socket, POLLIN, 0}};
    const int ready = ::poll(entries, 2, int(std::min<qint64>(time.count(), std::numeric_limits<int>::max())));
    if (ready <= 0)
        return Ready::Timeout;
    return entries[0].revents ? Ready::Woken : Ready::Data;
}

bool ImapIdleSource::wait(int wake, const std::function<void()>& arrived)
{
    while (true) {
        if (mailimap_idle(m_imap) != MAILIMAP_NO_ERROR)
            return fail(MailTexts::kConnectionLost);
        if (readyUntil(wake, m_renew) == Ready::Woken)
            return true;
        // The server's news (or the renewal) ends this IDLE; what it said is read with its end.
        if (mailimap_idle_done(m_imap) != MAILIMAP_NO_ERROR)
            return fail(MailTexts::kConnectionLost);
        if (m_imap->imap_selection_info && m_imap->imap_selection_info->sel_has_exists)
            arrived();
    }
}

void ImapIdleSource::close()
{
    const std::lock_guard<std::mutex> lock(m_socketMutex);
    if (!m_imap)
        return;
    // Without the LOGOUT that libetpan would wait for, however long a silent server takes.
    if (m_imap->imap_stream) {
        mailstream_close(m_imap->imap_stream);
        m_imap->imap_stream = nullptr;
    }
    mailimap_free(m_imap);
    m_imap = nullptr;
    m_socket = -1;
}

void ImapIdleSource::interrupt()
{
    m_stopSecret.request_stop();
    const std::lock_guard<std::mutex> lock(m_socketMutex);
    m_interrupted = true;
    if (m_socket >= 0)
        ::shutdown(m_socket, SHUT_RDWR);
}

} // namespace Enrolix
