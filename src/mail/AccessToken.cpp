#include "mail/AccessToken.h"

#include "mail/MailTexts.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace Enrolix::AccessToken {

Grant refresh(FormPost& post, const MailProfile::OAuth& client, const QString& refreshToken,
              const TransportLimits& limits, std::stop_token stop)
{
    FormPost::Fields fields{{QStringLiteral("grant_type"), QStringLiteral("refresh_token")},
                            {QStringLiteral("refresh_token"), refreshToken},
                            {QStringLiteral("client_id"), client.clientId}};
    if (!client.clientSecret.isEmpty())
        fields.append({QStringLiteral("client_secret"), client.clientSecret});
    const FormPost::Answer answer = post.post(client.tokenUrl, fields, limits, std::move(stop));
    Grant grant;
    if (answer.status == 0) {
        grant.failure = answer.failure;
        return grant;
    }
    const QJsonObject body = QJsonDocument::fromJson(answer.body).object();
    // invalid_grant: the refresh token was revoked, expired or rotated away (RFC 6749, 5.2).
    if (body.value(QStringLiteral("error")).toString() == QLatin1String("invalid_grant")) {
        grant.failure = MailTexts::kSignInExpired;
        return grant;
    }
    grant.accessToken = body.value(QStringLiteral("access_token")).toString();
    if (answer.status != 200 || grant.accessToken.isEmpty()) {
        grant.accessToken.clear();
        grant.failure = MailTexts::tokenEndpointAnswer(client.tokenUrl, answer.status);
        return grant;
    }
    const QString rotated = body.value(QStringLiteral("refresh_token")).toString();
    if (rotated != refreshToken)
        grant.rotatedRefreshToken = rotated;
    return grant;
}

} // namespace Enrolix::AccessToken
