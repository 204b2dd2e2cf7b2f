#pragma once

#include "platform/mail/CurlBuffers.h"
#include "platform/mail/TransportLimits.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <curl/curl.h>

#include <memory>

namespace Enrolix {

struct MailProfile;

// One libcurl handle that keeps its connection between requests: credentials, the extra
// certificate authority, STARTTLS whenever the server offers it, and the time limits of the
// pass, so that a dead, silent or trickling server fails a request within seconds.
class CurlConnection
{
public:
    // clock: the troubled time of the pass, shared with its other connection.
    CurlConnection(const MailProfile& profile, const QString& password, const TransportLimits& limits,
                   std::shared_ptr<TroubleClock> clock);
    ~CurlConnection();
    Q_DISABLE_COPY_MOVE(CurlConnection)

    // An IMAP request: the URL alone, or a command sent as it stands. The untagged answers or
    // the message are in body() afterwards. Once the server could not be reached, or stopped
    // answering, every further request fails at once: a dead server costs a pass one time limit,
    // not one per mail.
    bool perform(const QByteArray& url, const QByteArray& command = {});

    // Sends a message over SMTP from one envelope sender to one recipient.
    bool upload(const QByteArray& url, const QByteArray& from, const QByteArray& to, const QByteArray& message);

    const QByteArray& body() const { return m_body; }
    // The server's answers around the transfer (for IMAP, those of SELECT among them).
    const QByteArray& headers() const { return m_headers; }
    CURLcode code() const { return m_code; }
    // The server's last numeric answer.
    long responseCode() const;
    QString error() const { return QString::fromUtf8(m_error); }
    // True once the connection is unusable for the rest of the pass.
    bool lost() const { return m_lost; }
    // Why the last request failed, in words for the coordinator, with the server's address.
    QString failure() const;

private:
    bool begin();
    bool finish(CURLcode code);
    static int progress(void* self, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent);
    // The part of the request time that counts as trouble: all of it once it exceeds what its
    // bytes allow.
    TransportLimits::Duration troubled(qint64 bytes) const;

    CURL* m_curl{nullptr};
    TransportLimits m_limits;
    std::shared_ptr<TroubleClock> m_clock;
    QElapsedTimer m_started;
    qint64 m_bytes{0};
    bool m_overran{false};
    QByteArray m_url;
    QByteArray m_body;
    QByteArray m_headers;
    CurlBuffers::Upload m_upload;
    CURLcode m_code{CURLE_OK};
    bool m_lost{false};
    char m_error[CURL_ERROR_SIZE]{};
};

} // namespace Enrolix
