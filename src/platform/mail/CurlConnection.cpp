#include "platform/mail/CurlConnection.h"

#include "platform/mail/MailProfile.h"

#include <mutex>

namespace Enrolix {
namespace {

// A dead host fails at connect; a silent one at its first answer; a stalled transfer when
// fewer than one byte a second arrive over the limit.
constexpr long kConnectSeconds = 10;
constexpr long kAnswerSeconds = 15;
constexpr long kStallSeconds = 15;

} // namespace

CurlConnection::CurlConnection(const MailProfile& profile, const QString& password)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_curl = curl_easy_init();
    if (!m_curl)
        return;
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &m_body);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, &m_headers);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &CurlBuffers::Upload::supply);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &m_upload);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAnswerSeconds);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    if (!profile.user.isEmpty()) {
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, profile.user.toUtf8().constData());
        curl_easy_setopt(m_curl, CURLOPT_PASSWORD, password.toUtf8().constData());
    }
    if (!profile.caFile.isEmpty())
        curl_easy_setopt(m_curl, CURLOPT_CAINFO, profile.caFile.toUtf8().constData());
}

CurlConnection::~CurlConnection()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
}

bool CurlConnection::finish(CURLcode code)
{
    m_code = code;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_LOGIN_DENIED:
        m_lost = true;
        break;
    default:
        break;
    }
    return code == CURLE_OK;
}

bool CurlConnection::perform(const QByteArray& url, const QByteArray& command)
{
    if (!m_curl || m_lost)
        return false;
    m_body.clear();
    m_headers.clear();
    m_error[0] = '\0';
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command.isEmpty() ? nullptr : command.constData());
    return finish(curl_easy_perform(m_curl));
}

bool CurlConnection::upload(const QByteArray& url, const QByteArray& from, const QByteArray& to,
                            const QByteArray& message)
{
    if (!m_curl || m_lost)
        return false;
    m_body.clear();
    m_headers.clear();
    m_error[0] = '\0';
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

long CurlConnection::responseCode() const
{
    long code = 0;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

} // namespace Enrolix
