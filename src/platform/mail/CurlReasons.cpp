#include "platform/mail/CurlReasons.h"

namespace Enrolix::CurlReasons {

QString reasonFor(CURLcode code, const QString& detail, bool token)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return QStringLiteral("the address is not valid");
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("host not found");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("host unreachable");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("the server did not answer in time");
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("the server answers too slowly");
    case CURLE_LOGIN_DENIED:
        // libcurl reports a folder that cannot be selected as a refused sign-on.
        if (detail.startsWith(QLatin1String("Select failed")))
            return QStringLiteral("folder missing");
        if (token)
            return QStringLiteral("sign-on refused: the access token was not accepted");
        return QStringLiteral("sign-on refused");
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("certificate not trusted");
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("secure connection failed");
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("server offers no STARTTLS");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return QStringLiteral("connection lost");
    default:
        return QString::fromUtf8(curl_easy_strerror(code));
    }
}

} // namespace Enrolix::CurlReasons
