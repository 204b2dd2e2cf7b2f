#pragma once

#include <QString>

#include <curl/curl.h>

namespace Enrolix::CurlReasons {

// What a failed libcurl request means to the coordinator. detail: libcurl's error text;
// token: the sign-on offered an access token.
QString reasonFor(CURLcode code, const QString& detail, bool token);

} // namespace Enrolix::CurlReasons
