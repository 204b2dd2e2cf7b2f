#include "platform/OAuthSignIn.h"

#include "platform/Browser.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QOAuth2AuthorizationCodeFlow>
#include <QOAuthHttpServerReplyHandler>
#include <QRandomGenerator>

#include <array>

namespace Enrolix {
namespace {

constexpr auto kBase64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// 43 characters of the unreserved set, from 256 random bits.
QByteArray codeVerifier()
{
    std::array<quint32, 8> random{};
    QRandomGenerator::system()->fillRange(random.data(), random.size());
    return QByteArray(reinterpret_cast<const char*>(random.data()), sizeof(random)).toBase64(kBase64Url);
}

} // namespace

OAuthSignIn::OAuthSignIn(Browser& browser, QObject* parent) : QObject(parent), m_browser(browser) {}

OAuthSignIn::~OAuthSignIn() = default;

void OAuthSignIn::start(const Client& client)
{
    end();
    m_flow = std::make_unique<QOAuth2AuthorizationCodeFlow>();
    m_flow->setAuthorizationUrl(QUrl(client.authorizeUrl));
    m_flow->setAccessTokenUrl(QUrl(client.tokenUrl));
    m_flow->setScope(client.scope);
    m_flow->setClientIdentifier(client.clientId);
    m_flow->setClientIdentifierSharedKey(client.clientSecret);
    // The loopback address itself: "localhost" may name another address than the one listened on.
    auto* redirect = new QOAuthHttpServerReplyHandler(QHostAddress::LocalHost, 0, m_flow.get());
    if (!redirect->isListening()) {
        Q_EMIT failed(QStringLiteral("no port of this machine could take the browser's answer"));
        return;
    }
    m_flow->setReplyHandler(redirect);

    const QByteArray verifier = codeVerifier();
    const QByteArray challenge = QCryptographicHash::hash(verifier, QCryptographicHash::Sha256).toBase64(kBase64Url);
    m_flow->setModifyParametersFunction(
        [verifier, challenge](QAbstractOAuth::Stage stage, QMultiMap<QString, QVariant>* parameters) {
            if (stage == QAbstractOAuth::Stage::RequestingAuthorization) {
                parameters->insert(QStringLiteral("code_challenge"), QString::fromLatin1(challenge));
                parameters->insert(QStringLiteral("code_challenge_method"), QStringLiteral("S256"));
            } else if (stage == QAbstractOAuth::Stage::RequestingAccessToken) {
                parameters->insert(QStringLiteral("code_verifier"), QString::fromLatin1(verifier));
                // The code arrives as the redirect carried it, percent-encoded; the form would
                // encode it a second time.
                const QString code = parameters->value(QStringLiteral("code")).toString();
                parameters->replace(QStringLiteral("code"), QUrl::fromPercentEncoding(code.toUtf8()));
            }
        });
    QOAuth2AuthorizationCodeFlow* flow = m_flow.get();
    connect(flow, &QAbstractOAuth::authorizeWithBrowser, this, [this](const QUrl& address) {
        if (!m_browser.open(address))
            Q_EMIT failed(QStringLiteral("no web browser could be started"));
    });
    connect(flow, &QAbstractOAuth::granted, this, [this, flow] {
        const QString refreshToken = flow->refreshToken();
        if (refreshToken.isEmpty())
            Q_EMIT failed(QStringLiteral("the provider gave no refresh token"));
        else
            Q_EMIT signedIn(refreshToken);
    });
    connect(flow, &QAbstractOAuth2::error, this, [this](const QString& error, const QString& description) {
        Q_EMIT failed(description.isEmpty() ? error : error + QStringLiteral(": ") + description);
    });
    connect(flow, &QAbstractOAuth::requestFailed, this,
            [this] { Q_EMIT failed(QStringLiteral("the provider did not give the tokens")); });
    flow->grant();
}

void OAuthSignIn::end()
{
    if (m_flow)
        m_flow.release()->deleteLater();
}

} // namespace Enrolix
