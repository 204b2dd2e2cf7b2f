#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QOAuth2AuthorizationCodeFlow;

namespace Enrolix {

class Browser;

// Signing in to a mail provider with the browser: the OAuth 2.0 authorization code flow with
// PKCE (RFC 7636) and a redirect to a port of this machine's loopback address (RFC 8252). The
// person signs in and consents in the browser; the program trades the code for its tokens and
// keeps the refresh token.
class OAuthSignIn final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OAuthSignIn)

public:
    struct Client
    {
        QString authorizeUrl;
        QString tokenUrl;
        QString scope;
        QString clientId;
        QString clientSecret;
    };

    explicit OAuthSignIn(Browser& browser, QObject* parent = nullptr);
    ~OAuthSignIn() override;

    // Starts a sign-in, giving up one that is under way; it ends in signedIn or failed.
    void start(const Client& client);

Q_SIGNALS:
    void signedIn(const QString& refreshToken);
    void failed(const QString& reason);

private:
    void end();

    Browser& m_browser;
    std::unique_ptr<QOAuth2AuthorizationCodeFlow> m_flow;
};

} // namespace Enrolix
