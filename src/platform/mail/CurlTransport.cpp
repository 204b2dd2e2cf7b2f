#include "platform/mail/CurlTransport.h"

#include "mail/MailProfile.h"
#include "platform/mail/CurlReasons.h"

#include <QUrl>

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace Enrolix {
namespace {

using std::chrono::milliseconds;

// libcurl's limit on one answer, which only a server that keeps sending can reach.
constexpr long kLongestAnswerSeconds = 15 * 60;
// How long a goodbye may take at most.
constexpr milliseconds kLongestGoodbye{2000};

// The host of the URL exactly as libcurl will connect to it.
QByteArray curlHost(const QByteArray& url)
{
    CURLU* parsed = curl_url();
    QByteArray host;
    char* part = nullptr;
    if (parsed && curl_url_set(parsed, CURLUPART_URL, url.constData(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK)
        host = part;
    curl_free(part);
    curl_url_cleanup(parsed);
    return host;
}

} // namespace

bool CurlTransport::isLoopback(const QByteArray& url)
{
    QByteArray host = curlHost(url);
    if (host.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    in_addr v4{};
    if (inet_pton(AF_INET, host.constData(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    in6_addr v6{};
    if (inet_pton(AF_INET6, host.constData(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

long CurlTransport::startTls(const QByteArray& url) const
{
    if (!m_tls)
        return CURLUSESSL_NONE;
    // A password written into the address goes out as well as the profile's own.
    const bool secret = m_sendsSecret || !QUrl::fromEncoded(url).userInfo().isEmpty();
    return secret && !isLoopback(url) ? CURLUSESSL_ALL : CURLUSESSL_TRY;
}

CurlTransport::CurlTransport(const MailProfile& profile, const QString& secret, const TransportLimits& limits,
                             std::shared_ptr<TroubleClock> clock, std::stop_token stop, Credentials credentials)
    : m_limits(limits), m_clock(std::move(clock)), m_stop(std::move(stop)), m_watch(limits), m_tls(profile.tls),
      m_sendsSecret(!profile.user.isEmpty()),
      m_sendsToken(m_sendsSecret && profile.signOnMethod() != MailProfile::SignOnMethod::Password)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!m_clock)
        m_clock = std::make_shared<TroubleClock>(limits.troubleBudget);
    m_clockStart.start();
    m_curl = curl_easy_init();
    if (!m_curl)
        return;
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    m_sockets.attach(m_curl);
    // libcurl keeps an answer line whole while it fits in half of this buffer, and cuts a longer
    // one: the lines of a literal of kWholeLiteral bytes with the text around it fit.
    curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, long(2 * (kWholeLiteral + kWholeAnswerLine)));
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CurlTransport::bodyBytes);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CurlTransport::headerLine);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &CurlBuffers::Upload::supply);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &m_upload);
    // What goes out is seen through the debug callback alone; none of it is kept or shown.
    curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &CurlTransport::traffic);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &CurlTransport::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connect.count()));
    // Silence and trickling are judged as the bytes move; libcurl's own limit on one answer, from
    // its command to its last line, must not cut a long answer that keeps coming.
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kLongestAnswerSeconds);
    if (m_sendsSecret && credentials == Credentials::Sent) {
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, profile.user.toUtf8().constData());
        if (m_sendsToken) {
            const bool xoauth2 = profile.signOnMethod() == MailProfile::SignOnMethod::XOAuth2;
            curl_easy_setopt(m_curl, CURLOPT_XOAUTH2_BEARER, secret.toUtf8().constData());
            curl_easy_setopt(m_curl, CURLOPT_LOGIN_OPTIONS, xoauth2 ? "AUTH=XOAUTH2" : "AUTH=OAUTHBEARER");
        } else {
            curl_easy_setopt(m_curl, CURLOPT_PASSWORD, secret.toUtf8().constData());
        }
    }
    if (!profile.caFile.isEmpty())
        curl_easy_setopt(m_curl, CURLOPT_CAINFO, profile.caFile.toUtf8().constData());
}

CurlTransport::~CurlTransport()
{
    hangUp();
}

void CurlTransport::hangUp()
{
    if (!m_curl)
        return;
    // The goodbye (LOGOUT, QUIT) of a healthy server is immediate; a silent one must not hold the
    // end of the pass for a whole silence limit. libcurl waits for it with the limits the last
    // request began with, which is why it is cut off from outside.
    m_sockets.cutOffAfter(std::min(kLongestGoodbye, m_limits.silence), [this] { curl_easy_cleanup(m_curl); });
    m_curl = nullptr;
}

void CurlTransport::startAfresh()
{
    if (!m_curl)
        return;
    // The copy has every option and no connection.
    CURL* fresh = curl_easy_duphandle(m_curl);
    hangUp();
    m_curl = fresh;
}

TransportLimits::Duration CurlTransport::now() const
{
    return milliseconds(m_clockStart.elapsed());
}

size_t CurlTransport::headerLine(char* data, size_t size, size_t count, void* self)
{
    auto* transport = static_cast<CurlTransport*>(self);
    transport->m_watch.received(transport->now(), qint64(size * count));
    return CurlBuffers::collect(data, size, count, &transport->m_headers);
}

size_t CurlTransport::bodyBytes(char* data, size_t size, size_t count, void* self)
{
    auto* transport = static_cast<CurlTransport*>(self);
    transport->m_watch.received(transport->now(), qint64(size * count));
    return CurlBuffers::collect(data, size, count, &transport->m_body);
}

int CurlTransport::traffic(CURL*, curl_infotype type, char*, size_t size, void* self)
{
    auto* transport = static_cast<CurlTransport*>(self);
    if (type == CURLINFO_HEADER_OUT)
        transport->m_watch.commandSent(transport->now());
    else if (type == CURLINFO_DATA_OUT)
        transport->m_watch.dataSent(transport->now(), qint64(size));
    return 0;
}

int CurlTransport::progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* transport = static_cast<CurlTransport*>(self);
    // libcurl asks about once a second while it waits, so a stop ends the wait within about that.
    if (transport->m_stop.stop_requested() &&
        milliseconds(transport->m_started.elapsed()) >= transport->m_limits.afterStop) {
        transport->m_stopped = true;
        return 1;
    }
    const TransportLimits::Duration now = transport->now();
    if (transport->m_watch.silence(now) > transport->m_limits.silence) {
        transport->m_silent = true;
        return 1;
    }
    const TransportLimits::Duration troubled = transport->m_watch.troubled(now);
    return troubled.count() > 0 && transport->m_clock->overruns(troubled) ? 1 : 0;
}

bool CurlTransport::begin(const QByteArray& url)
{
    m_url = url;
    if (!m_curl || m_lost)
        return false;
    m_body.clear();
    m_headers.clear();
    m_error[0] = '\0';
    m_silent = false;
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, startTls(url));
    m_started.start();
    m_watch.start(now());
    return true;
}

bool CurlTransport::finish(CURLcode code)
{
    m_code = code;
    m_clock->add(m_watch.troubled(now()));
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_LOGIN_DENIED:
    case CURLE_USE_SSL_FAILED:
        m_lost = true;
        break;
    default:
        break;
    }
    return code == CURLE_OK;
}

bool CurlTransport::request(const QByteArray& url, const QByteArray& command)
{
    if (!begin(url))
        return false;
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command.isEmpty() ? nullptr : command.constData());
    return finish(curl_easy_perform(m_curl));
}

bool CurlTransport::send(const QByteArray& url, const QByteArray& from, const QByteArray& to, const QByteArray& message)
{
    if (!begin(url))
        return false;
    m_upload.reset(message);
    curl_slist* recipients = curl_slist_append(nullptr, to.constData());
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(m_curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    const CURLcode code = curl_easy_perform(m_curl);
    curl_easy_setopt(m_curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_slist_free_all(recipients);
    m_upload.reset();
    return finish(code);
}

long CurlTransport::responseCode() const
{
    long code = 0;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

TransportFailure CurlTransport::failure() const
{
    const QUrl url = QUrl::fromEncoded(m_url);
    const QString server =
        url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString();
    if (!m_curl)
        return {TransportFailure::Stage::Other,
                0,
                server + QStringLiteral(": the mail library could not be started"),
                server,
                {}};
    if (m_code == CURLE_OK)
        return {};
    const QString detail = QString::fromUtf8(m_error);
    QString reason = server + QStringLiteral(": ");
    if (m_stopped)
        reason += QStringLiteral("stopped before the server answered");
    else if (m_silent)
        reason += CurlReasons::reasonFor(CURLE_OPERATION_TIMEDOUT, detail, m_sendsToken);
    else
        reason += CurlReasons::reasonFor(m_code, detail, m_sendsToken);
    if (!detail.isEmpty())
        reason += QStringLiteral(" (") + detail + QLatin1Char(')');
    // libcurl reports the refusal of a recipient as a send error naming RCPT.
    const bool atRecipient = m_code == CURLE_SEND_ERROR && detail.startsWith(QLatin1String("RCPT failed"));
    const long code = responseCode();
    return {atRecipient ? TransportFailure::Stage::Recipient : TransportFailure::Stage::Other, code, reason, server,
            answerWith(code)};
}

QString CurlTransport::answerWith(long code) const
{
    if (code <= 0)
        return {};
    // libcurl hands every answer line of an SMTP server to the header callback, the refusal among them.
    const QByteArray prefix = QByteArray::number(code);
    const QList<QByteArray> lines = m_headers.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QByteArray trimmed = line->trimmed();
        if (trimmed.startsWith(prefix) &&
            (trimmed.size() == prefix.size() || trimmed.at(prefix.size()) == ' ' || trimmed.at(prefix.size()) == '-'))
            return QString::fromUtf8(trimmed);
    }
    return {};
}

} // namespace Enrolix
