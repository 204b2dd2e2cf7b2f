#pragma once

#include "mail/TransportLimits.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <stop_token>

namespace Enrolix {

// An HTML form posted to a web address (application/x-www-form-urlencoded), as an OAuth 2.0
// token endpoint takes its requests.
class FormPost
{
public:
    struct Answer
    {
        // The HTTP status; 0 when no answer came, and failure says why.
        long status{0};
        QByteArray body;
        QString failure;
    };
    using Fields = QList<QPair<QString, QString>>;

    virtual ~FormPost() = default;
    // Within the time limits of a pass; a stop gives up waiting.
    virtual Answer post(const QString& url, const Fields& fields, const TransportLimits& limits,
                        std::stop_token stop) = 0;
};

} // namespace Enrolix
