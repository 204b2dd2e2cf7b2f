#pragma once

#include "platform/mail/CurlBuffers.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <curl/curl.h>

namespace Enrolix {

struct MailProfile;

// One libcurl handle that keeps its connection between requests: credentials, the extra
// certificate authority, STARTTLS whenever the server offers it, and time limits so that a
// dead or silent server fails a request within seconds.
class CurlConnection
{
public:
    CurlConnection(const MailProfile& profile, const QString& password);
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

private:
    CURL* m_curl{nullptr};
    QByteArray m_body;
    QByteArray m_headers;
    CurlBuffers::Upload m_upload;
    bool finish(CURLcode code);

    CURLcode m_code{CURLE_OK};
    bool m_lost{false};
    char m_error[CURL_ERROR_SIZE]{};
};

} // namespace Enrolix
