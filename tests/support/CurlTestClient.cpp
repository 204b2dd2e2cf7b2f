#include "support/CurlTestClient.h"

#include <QList>

#include <optional>

namespace Enrolix::Testing {

CurlTestClient::CurlTestClient(const QString& caFile, const QString& user)
    : m_curl(curl_easy_init()), m_user(user.toUtf8()), m_ca(caFile.toUtf8())
{
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, m_user.constData());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, "secret");
    curl_easy_setopt(m_curl, CURLOPT_CAINFO, m_ca.constData());
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &m_answer);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CurlBuffers::collect);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, &m_headers);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &CurlBuffers::Upload::supply);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &m_upload);
}

CurlTestClient::~CurlTestClient()
{
    curl_easy_cleanup(m_curl);
}

bool CurlTestClient::request(const QByteArray& url, const char* command)
{
    m_answer.clear();
    m_headers.clear();
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command);
    return curl_easy_perform(m_curl) == CURLE_OK;
}

bool CurlTestClient::upload(const QByteArray& url, const QByteArray& data, curl_slist* recipients)
{
    m_answer.clear();
    m_headers.clear();
    m_upload.reset(data);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(data.size()));
    curl_easy_setopt(m_curl, CURLOPT_MAIL_FROM, recipients ? "<raw@example.com>" : nullptr);
    curl_easy_setopt(m_curl, CURLOPT_MAIL_RCPT, recipients);
    return curl_easy_perform(m_curl) == CURLE_OK;
}

bool CurlTestClient::append(const QByteArray& mailbox, const QByteArray& message)
{
    if (!upload(mailbox, message))
        return false;
    // The tagged answer names the new message: "[APPENDUID validity uid]".
    const qsizetype at = m_headers.indexOf("[APPENDUID ");
    if (at < 0)
        return false;
    const QByteArray uid = m_headers.mid(at).split(' ').value(2).split(']').value(0);
    const QByteArray store = "UID STORE " + uid + " -FLAGS.SILENT (\\Seen)";
    return request(mailbox, store.constData());
}

std::optional<QList<QByteArray>> CurlTestClient::unread(const QByteArray& mailbox)
{
    if (!request(mailbox, "UID SEARCH UNSEEN"))
        return std::nullopt;
    const qsizetype at = m_answer.indexOf("* SEARCH");
    if (at < 0)
        return std::nullopt;
    const qsizetype end = m_answer.indexOf('\n', at);
    const QByteArray uids = m_answer.mid(at + 8, end < 0 ? -1 : end - at - 8).simplified();
    return uids.isEmpty() ? QList<QByteArray>() : uids.split(' ');
}

std::optional<int> CurlTestClient::unreadCount(const QByteArray& mailbox)
{
    if (!request(mailbox, "SEARCH RETURN (COUNT) UNSEEN"))
        return std::nullopt;
    // "* ESEARCH (TAG "A005") COUNT 3"
    const qsizetype at = m_headers.indexOf(" COUNT ");
    if (at < 0 || !m_headers.left(at).contains("* ESEARCH"))
        return std::nullopt;
    bool ok = false;
    const int count = m_headers.mid(at + 7, m_headers.indexOf('\r', at) - at - 7).toInt(&ok);
    return ok ? std::optional<int>(count) : std::nullopt;
}

} // namespace Enrolix::Testing
