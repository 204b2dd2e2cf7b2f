#pragma once

#include "mail/MailTransport.h"
#include "mail/TransferWatch.h"
#include "platform/mail/CurlBuffers.h"
#include "platform/mail/CurlSockets.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <curl/curl.h>

#include <memory>
#include <stop_token>

namespace Enrolix {

// A mail transport through one libcurl handle that keeps its connection between requests:
// credentials (a password or an OAuth 2.0 access token), the extra certificate authority,
// STARTTLS, and the time limits of the pass, judged on what moves: a server silent for the
// limit, or trickling past the trouble budget, fails the request. A request that a stop catches
// waiting for its server fails within about a second, and the connection counts as lost.
class CurlTransport final : public MailTransport
{
public:
    enum class Credentials { Sent, Withheld };

    // clock: the troubled time of the pass, shared with its other connections; stop: the pass's.
    // Credentials withheld: the connection signs on to nothing, but takes TLS as one that does.
    CurlTransport(const MailProfile& profile, const QString& secret, const TransportLimits& limits,
                  std::shared_ptr<TroubleClock> clock, std::stop_token stop = {},
                  Credentials credentials = Credentials::Sent);
    ~CurlTransport() override;
    Q_DISABLE_COPY_MOVE(CurlTransport)

    bool request(const QByteArray& url, const QByteArray& command = {}) override;
    bool send(const QByteArray& url, const QByteArray& from, const QByteArray& to, const QByteArray& message) override;
    const QByteArray& body() const override { return m_body; }
    const QByteArray& headers() const override { return m_headers; }
    TransportFailure failure() const override;
    bool lost() const override { return m_lost; }
    void startAfresh() override;

    // Whether the server of the URL is this machine, as libcurl reads its host: an address of
    // 127.0.0.0/8 or ::1, or "localhost".
    static bool isLoopback(const QByteArray& url);

private:
    bool begin(const QByteArray& url);
    bool finish(CURLcode code);
    // Says goodbye to the server, waiting for its answer no longer than a moment, and drops the handle.
    void hangUp();
    // Time on the transport's own clock, for the watch of its traffic.
    TransportLimits::Duration now() const;
    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static size_t headerLine(char* data, size_t size, size_t count, void* self);
    static size_t bodyBytes(char* data, size_t size, size_t count, void* self);
    static int traffic(CURL*, curl_infotype type, char*, size_t size, void* self);
    long responseCode() const;
    // The server's last answer line with the code, or empty.
    QString answerWith(long code) const;
    // STARTTLS on a plain imap:// or smtp:// connection: required before a secret goes to
    // another machine, taken whenever offered otherwise, never with tls=off.
    long startTls(const QByteArray& url) const;

    CurlSockets m_sockets;
    CURL* m_curl{nullptr};
    TransportLimits m_limits;
    std::shared_ptr<TroubleClock> m_clock;
    std::stop_token m_stop;
    QElapsedTimer m_started;
    QElapsedTimer m_clockStart;
    TransferWatch m_watch;
    QByteArray m_url;
    QByteArray m_body;
    QByteArray m_headers;
    CurlBuffers::Upload m_upload;
    CURLcode m_code{CURLE_OK};
    bool m_tls{true};
    bool m_sendsSecret{false};
    bool m_sendsToken{false};
    bool m_lost{false};
    // The last request was given up because of a stop, or because the server kept silent.
    bool m_stopped{false};
    bool m_silent{false};
    char m_error[CURL_ERROR_SIZE]{};
};

// Opens libcurl transports.
class CurlTransportFactory final : public MailTransportFactory
{
public:
    std::unique_ptr<MailTransport> open(const MailProfile& profile, const QString& secret,
                                        const TransportLimits& limits, std::shared_ptr<TroubleClock> clock,
                                        std::stop_token stop) override
    {
        return std::make_unique<CurlTransport>(profile, secret, limits, std::move(clock), std::move(stop));
    }
    std::unique_ptr<MailTransport> openUnsigned(const MailProfile& profile, const TransportLimits& limits,
                                                std::shared_ptr<TroubleClock> clock, std::stop_token stop) override
    {
        return std::make_unique<CurlTransport>(profile, QString(), limits, std::move(clock), std::move(stop),
                                               CurlTransport::Credentials::Withheld);
    }
};

} // namespace Enrolix
