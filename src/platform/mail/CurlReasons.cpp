#include "platform/mail/CurlReasons.h"

#include "mail/MailTexts.h"

namespace Enrolix::CurlReasons {

QString reasonFor(CURLcode code, const QString& detail, bool token)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return MailTexts::kAddressNotValid;
    case CURLE_COULDNT_RESOLVE_HOST:
        return MailTexts::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
        return MailTexts::kHostUnreachable;
    case CURLE_OPERATION_TIMEDOUT:
        return MailTexts::kNoAnswerInTime;
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("the server answers too slowly");
    case CURLE_LOGIN_DENIED:
        // libcurl reports a folder that cannot be selected as a refused sign-on.
        if (detail.startsWith(QLatin1String("Select failed")))
            return MailTexts::kFolderMissing;
        if (token)
            return MailTexts::kTokenRefused;
        return MailTexts::kSignOnRefused;
    case CURLE_PEER_FAILED_VERIFICATION:
        return MailTexts::kCertificateNotTrusted;
    case CURLE_SSL_CONNECT_ERROR:
        return MailTexts::kSecureConnectionFailed;
    case CURLE_USE_SSL_FAILED:
        return MailTexts::kNoStartTls;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return MailTexts::kConnectionLost;
    default:
        return QString::fromUtf8(curl_easy_strerror(code));
    }
}

} // namespace Enrolix::CurlReasons
