#pragma once

#include "platform/mail/CurlBuffers.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <curl/curl.h>

#include <optional>

namespace Enrolix::Testing {

// A bare libcurl client of the fixture's servers, signed on as one user with the fixture's
// password and certificate: what tests and benchmarks use to fill a mailbox or look into it.
class CurlTestClient
{
public:
    CurlTestClient(const QString& caFile, const QString& user);
    ~CurlTestClient();
    Q_DISABLE_COPY_MOVE(CurlTestClient)

    // The URL alone, or a command sent as it stands; the untagged answers are in answer().
    bool request(const QByteArray& url, const char* command = nullptr);
    // Uploads data: an IMAP APPEND, or an SMTP send to the given recipients.
    bool upload(const QByteArray& url, const QByteArray& data, curl_slist* recipients = nullptr);
    // Appends a message to the mailbox as unread (libcurl's APPEND sets \Seen).
    bool append(const QByteArray& mailbox, const QByteArray& message);
    // The UIDs of the unread messages, or nothing when the search fails.
    std::optional<QList<QByteArray>> unread(const QByteArray& mailbox);
    // How many messages are unread, however many: the server counts them (ESEARCH).
    std::optional<int> unreadCount(const QByteArray& mailbox);

    const QByteArray& answer() const { return m_answer; }

private:
    CURL* m_curl{nullptr};
    QByteArray m_user;
    QByteArray m_ca;
    QByteArray m_answer;
    QByteArray m_headers;
    CurlBuffers::Upload m_upload;
};

} // namespace Enrolix::Testing
