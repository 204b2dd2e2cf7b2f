#include "platform/mail/CurlFormPost.h"

#include "platform/mail/CurlBuffers.h"
#include "platform/mail/CurlReasons.h"
#include "platform/mail/CurlTransport.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace Enrolix {
namespace {

int stopRequested(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<std::stop_token*>(stop)->stop_requested() ? 1 : 0;
}

QByteArray encoded(const FormPost::Fields& fields)
{
    QByteArray body;
    for (const auto& [name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

} // namespace

FormPost::Answer CurlFormPost::post(const QString& url, const Fields& fields, const TransportLimits& limits,
                                    std::stop_token stop)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    const QByteArray address = url.toUtf8();
    Answer answer;
    // A token or a client secret never crosses the network unencrypted.
    if (!address.startsWith("https://") && !(address.startsWith("http://") && CurlTransport::isLoopback(address))) {
        answer.failure = url + QStringLiteral(": not an https:// address");
        return answer;
    }
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        answer.failure = url + QStringLiteral(": the mail library could not be started");
        return answer;
    }
    const QByteArray body = encoded(fields);
    char error[CURL_ERROR_SIZE]{};
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.constData());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer.body);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, long(limits.connect.count()));
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, long((limits.connect + limits.silence).count()));
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, &stopRequested);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &stop);
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        answer.failure = url + QStringLiteral(": ") + CurlReasons::reasonFor(code, QString::fromUtf8(error), false);
        return answer;
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &answer.status);
    return answer;
}

} // namespace Enrolix
