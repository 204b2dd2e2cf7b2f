#include "support/ServerBackend.h"

#include "platform/SettingsStore.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <curl/curl.h>

#include <cstring>

namespace Enrolix::Testing {
namespace {

struct Upload
{
    QByteArray data;
    qsizetype offset{0};
};

size_t readUpload(char* buffer, size_t size, size_t count, void* user)
{
    auto* upload = static_cast<Upload*>(user);
    const size_t chunk = std::min(size * count, size_t(upload->data.size() - upload->offset));
    std::memcpy(buffer, upload->data.constData() + upload->offset, chunk);
    upload->offset += qsizetype(chunk);
    return chunk;
}

size_t collect(char* data, size_t size, size_t count, void* user)
{
    static_cast<QByteArray*>(user)->append(data, qsizetype(size * count));
    return size * count;
}

} // namespace

ServerBackend::ServerBackend(const QString& /*root*/)
{
    static int sequence = 0;
    m_user = QStringLiteral("t%1-%2").arg(QCoreApplication::applicationPid()).arg(++sequence);
    const QString envPath = qEnvironmentVariable("ENROLIX_MAIL_SERVERS");
    QFile file(envPath);
    if (envPath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        m_problem = QStringLiteral("the mail servers of the test fixture are not running (no %1)").arg(envPath);
        return;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            m_env.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
}

QString ServerBackend::problem() const
{
    return m_problem;
}

QString ServerBackend::imapUrl() const
{
    return QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(value(QStringLiteral("ENROLIX_IMAP_PORT")));
}

QString ServerBackend::smtpUrl() const
{
    return QStringLiteral("smtp://127.0.0.1:%1").arg(value(QStringLiteral("ENROLIX_SMTP_PORT")));
}

void ServerBackend::configure(SettingsStore& store, const QString& profile) const
{
    store.write(profile, SettingsKeys::kMailInbox, imapUrl());
    store.write(profile, SettingsKeys::kMailOutbox, smtpUrl());
    store.write(profile, SettingsKeys::kMailUser, m_user);
    store.write(profile, SettingsKeys::kMailPassword, QStringLiteral("secret"));
    store.write(profile, SettingsKeys::kMailFrom, from());
    store.write(profile, SettingsKeys::kMailCaFile, value(QStringLiteral("ENROLIX_MAIL_CA")));
}

void ServerBackend::deliver(const QByteArray& raw)
{
    Upload upload{raw, 0};
    CURL* curl = curl_easy_init();
    const QByteArray url = imapUrl().toUtf8();
    const QByteArray user = m_user.toUtf8();
    const QByteArray ca = value(QStringLiteral("ENROLIX_MAIL_CA")).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, "secret");
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(raw.size()));
    // libcurl appends with \\Seen set: the answer's APPENDUID names the message to make unread.
    QByteArray answers;
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &answers);
    CURLcode code = curl_easy_perform(curl);
    const qsizetype at = answers.indexOf("[APPENDUID ");
    if (code == CURLE_OK && at >= 0) {
        const QByteArray uid = answers.mid(at).split(' ').value(2).split(']').value(0);
        const QByteArray store = "UID STORE " + uid + " -FLAGS.SILENT (\\Seen)";
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, store.constData());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answers);
        code = curl_easy_perform(curl);
    }
    curl_easy_cleanup(curl);
    if (code != CURLE_OK || at < 0)
        qWarning("APPEND failed: %s", curl_easy_strerror(code));
}

int ServerBackend::unreadCount() const
{
    QByteArray answer;
    CURL* curl = curl_easy_init();
    const QByteArray url = imapUrl().toUtf8();
    const QByteArray user = m_user.toUtf8();
    const QByteArray ca = value(QStringLiteral("ENROLIX_MAIL_CA")).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, "secret");
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "UID SEARCH UNSEEN");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK)
        return -1;
    const qsizetype at = answer.indexOf("* SEARCH");
    if (at < 0)
        return -1;
    const QByteArray line = answer.mid(at + 8, answer.indexOf('\n', at) - at - 8).simplified();
    return line.isEmpty() ? 0 : int(line.count(' ') + 1);
}

QList<QByteArray> ServerBackend::replies() const
{
    QList<QByteArray> result;
    const QDir folder(value(QStringLiteral("ENROLIX_SINK_DIR")) + QLatin1Char('/') + from().toLower() +
                      QStringLiteral("/new"));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            result.append(file.readAll());
    }
    return result;
}

} // namespace Enrolix::Testing
