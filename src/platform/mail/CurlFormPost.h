#pragma once

#include "mail/FormPost.h"

namespace Enrolix {

// Posts forms with libcurl, over HTTPS or, to this machine only, plain HTTP.
class CurlFormPost final : public FormPost
{
public:
    Answer post(const QString& url, const Fields& fields, const TransportLimits& limits, std::stop_token stop) override;
};

} // namespace Enrolix
