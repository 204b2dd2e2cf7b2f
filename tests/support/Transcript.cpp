#include "support/Transcript.h"

#include <QFile>
#include <QUrl>

namespace Enrolix::Testing {
namespace Transcript {
namespace {

// A counted block: "NAME N\n", N bytes, "\n".
bool readBlock(const QByteArray& data, qsizetype& at, const QByteArray& name, QByteArray& out)
{
    const qsizetype end = data.indexOf('\n', at);
    const QByteArray line = data.mid(at, end - at);
    if (end < 0 || !line.startsWith(name + ' '))
        return false;
    const qsizetype size = line.mid(name.size() + 1).toLongLong();
    out = data.mid(end + 1, size);
    at = end + 1 + size + 1;
    return out.size() == size;
}

} // namespace

QByteArray pathOf(const QByteArray& url)
{
    const qsizetype scheme = url.indexOf("://");
    const qsizetype slash = scheme < 0 ? -1 : url.indexOf('/', scheme + 3);
    return slash < 0 ? QByteArray("/") : url.mid(slash);
}

QList<Exchange> read(const QString& path)
{
    QFile file(path);
    QList<Exchange> exchanges;
    if (!file.open(QIODevice::ReadOnly))
        return exchanges;
    const QByteArray data = file.readAll();
    qsizetype at = 0;
    while (at < data.size()) {
        const qsizetype end = data.indexOf('\n', at);
        const QByteArray line = data.mid(at, end - at);
        if (end < 0 || !line.startsWith("request "))
            break;
        Exchange exchange;
        const QByteArray rest = line.mid(8);
        const qsizetype blank = rest.indexOf(' ');
        exchange.url = blank < 0 ? rest : rest.left(blank);
        exchange.command = blank < 0 ? QByteArray() : rest.mid(blank + 1);
        at = end + 1;
        const qsizetype okEnd = data.indexOf('\n', at);
        exchange.ok = data.mid(at, okEnd - at) == "ok 1";
        at = okEnd + 1;
        if (!readBlock(data, at, "headers", exchange.headers) || !readBlock(data, at, "body", exchange.body))
            break;
        exchanges.append(exchange);
    }
    return exchanges;
}

bool append(const QString& path, const Exchange& exchange)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray out = "request " + exchange.url + (exchange.command.isEmpty() ? "" : " " + exchange.command) + '\n';
    out += exchange.ok ? "ok 1\n" : "ok 0\n";
    out += "headers " + QByteArray::number(exchange.headers.size()) + '\n' + exchange.headers + '\n';
    out += "body " + QByteArray::number(exchange.body.size()) + '\n' + exchange.body + '\n';
    return file.write(out) == out.size();
}

} // namespace Transcript

bool ScriptedTransport::request(const QByteArray& url, const QByteArray& command)
{
    const QByteArray path = Transcript::pathOf(url);
    requests << QString::fromUtf8(path + (command.isEmpty() ? "" : " " + command));
    if (m_exchanges.isEmpty()) {
        mismatches << QStringLiteral("unexpected request ") + requests.last();
        m_ok = false;
        return false;
    }
    const Exchange next = m_exchanges.takeFirst();
    if (next.url != path || next.command != command)
        mismatches << QStringLiteral("expected %1 %2, got %3")
                          .arg(QString::fromUtf8(next.url), QString::fromUtf8(next.command), requests.last());
    m_headers = next.headers;
    m_body = next.body;
    m_ok = next.ok;
    return m_ok;
}

bool ScriptedTransport::send(const QByteArray&, const QByteArray&, const QByteArray&, const QByteArray&)
{
    mismatches << QStringLiteral("unexpected SMTP send");
    return false;
}

TransportFailure ScriptedTransport::failure() const
{
    if (m_ok)
        return {};
    return {TransportFailure::Stage::Other,
            0,
            QStringLiteral("imap://scripted: the recorded request failed"),
            QStringLiteral("imap://scripted"),
            {}};
}

bool RecordingTransport::request(const QByteArray& url, const QByteArray& command)
{
    const bool ok = m_inner->request(url, command);
    Transcript::append(m_path, {Transcript::pathOf(url), command, ok, m_inner->headers(), m_inner->body()});
    return ok;
}

} // namespace Enrolix::Testing
