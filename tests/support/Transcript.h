#pragma once

#include "mail/MailTransport.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Enrolix::Testing {

// One request of a mail transport and what the server answered, as recorded from a real
// session. The URL is kept without its server part ("/INBOX", "/INBOX;UID=3").
struct Exchange
{
    QByteArray url;
    QByteArray command;
    bool ok{false};
    QByteArray headers;
    QByteArray body;
};

// Reads and writes transcripts: for each exchange a line "request URL COMMAND", a line
// "ok 1" or "ok 0", then "headers N" and "body N" each followed by exactly N bytes and a line
// end, so every byte the server sent is kept as it was.
namespace Transcript {
QList<Exchange> read(const QString& path);
bool append(const QString& path, const Exchange& exchange);
// The URL without "scheme://host:port".
QByteArray pathOf(const QByteArray& url);
} // namespace Transcript

// Plays a transcript back as the server: each request must be the next recorded one, else it
// fails and is noted in mismatches.
class ScriptedTransport final : public MailTransport
{
public:
    explicit ScriptedTransport(QList<Exchange> exchanges) : m_exchanges(std::move(exchanges)) {}

    bool request(const QByteArray& url, const QByteArray& command = {}) override;
    bool send(const QByteArray& url, const QByteArray& from, const QByteArray& to, const QByteArray& message) override;
    const QByteArray& body() const override { return m_body; }
    const QByteArray& headers() const override { return m_headers; }
    TransportFailure failure() const override;
    bool lost() const override { return false; }
    // Noted among the requests as "afresh".
    void startAfresh() override { requests.append(QStringLiteral("afresh")); }

    QStringList mismatches;
    // The requests made, as "URL COMMAND", and "afresh" where a new connection was asked for.
    QStringList requests;
    int left() const { return int(m_exchanges.size()); }

private:
    QList<Exchange> m_exchanges;
    QByteArray m_body;
    QByteArray m_headers;
    bool m_ok{true};
};

// Records every exchange of the transport it wraps into a transcript file.
class RecordingTransport final : public MailTransport
{
public:
    RecordingTransport(std::unique_ptr<MailTransport> inner, const QString& path)
        : m_inner(std::move(inner)), m_path(path)
    {
    }

    bool request(const QByteArray& url, const QByteArray& command = {}) override;
    bool send(const QByteArray& url, const QByteArray& from, const QByteArray& to, const QByteArray& message) override
    {
        return m_inner->send(url, from, to, message);
    }
    const QByteArray& body() const override { return m_inner->body(); }
    const QByteArray& headers() const override { return m_inner->headers(); }
    TransportFailure failure() const override { return m_inner->failure(); }
    bool lost() const override { return m_inner->lost(); }
    void startAfresh() override { m_inner->startAfresh(); }

private:
    std::unique_ptr<MailTransport> m_inner;
    QString m_path;
};

} // namespace Enrolix::Testing
