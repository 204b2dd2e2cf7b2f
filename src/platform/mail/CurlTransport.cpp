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
    : m_limits(limits), m_clock(std::move(clock)), m_stop(std::move(stop)), m_tls(profile.tls),
      m_sendsSecret(!profile.user.isEmpty()),
      m_sendsToken(m_sendsSecret && profile.signOnMethod() != MailProfile::SignOnMethod::Password)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!m_clock)
        m_clock = std::make_shared<TroubleClock>(limits.troubleBudget);
    m_curl = curl_easy_init();
    if (!m_curl)
        return;
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    // libcurl keeps an answer line whole while it fits in half of this buffer, and cuts a longer one.
    curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, long(2 * kWholeAnswerLine));
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &m_body);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, &m_headers);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &CurlBuffers::Upload::supply);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &m_upload);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &CurlTransport::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connect.count()));
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, TransportLimits::wholeSeconds(m_limits.answer));
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
    if (!m_curl)
        return;
    // The goodbye (LOGOUT, QUIT) of a healthy server is immediate; a silent one must not hold the
    // end of the pass for a whole answer limit.
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     std::min(2L, TransportLimits::wholeSeconds(m_limits.answer)));
    // After a stop the goodbye has the time of a request.
    m_started.start();
    curl_easy_cleanup(m_curl);
}

TransportLimits::Duration CurlTransport::troubled(qint64 bytes) const
{
    const milliseconds elapsed(m_started.elapsed());
    const milliseconds allowance = m_limits.grace + milliseconds(bytes * 1000 / m_limits.slowestBytesPerSecond);
    return elapsed > allowance ? elapsed : milliseconds(0);
}

int CurlTransport::progress(void* self, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    auto* transport = static_cast<CurlTransport*>(self);
    transport->m_bytes = qint64(received + sent);
    // libcurl asks about once a second while it waits, so a stop ends the wait within about that.
    if (transport->m_stop.stop_requested() &&
        milliseconds(transport->m_started.elapsed()) >= transport->m_limits.afterStop) {
        transport->m_stopped = true;
        return 1;
    }
    const TransportLimits::Duration troubled = transport->troubled(transport->m_bytes);
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
    m_bytes = 0;
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, startTls(url));
    m_started.start();
    return true;
}

bool CurlTransport::finish(CURLcode code)
{
    m_code = code;
    m_clock->add(troubled(m_bytes));
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
        // libcurl may still say goodbye to a server that stopped answering when the handle is
        // cleaned up; that must not cost another answer limit.
        m_lost = true;
        curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, 1L);
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
    QString reason = server + QStringLiteral(": ") +
                     (m_stopped ? QStringLiteral("stopped before the server answered")
                                : CurlReasons::reasonFor(m_code, detail, m_sendsToken));
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
