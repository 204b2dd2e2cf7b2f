#include "lottery/ClosedEvent.h"

#include "events/EventFiles.h"
#include "events/SignUpAddresses.h"
#include "lottery/Draw.h"

#include <QCryptographicHash>
#include <QFile>

namespace Enrolix {

std::optional<ClosedEvent> ClosedEvent::load(const EventFiles& files, const QString& event, FileResult& failure)
{
    const QString listPath = files.recordPath(event) + EventFiles::kClosedSuffix;
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly)) {
        failure = FileResult{int(list.error()), QStringLiteral("%1: %2").arg(listPath, list.errorString())};
        return std::nullopt;
    }
    const QByteArray bytes = list.readAll();
    ClosedEvent closed;
    closed.event = event;
    closed.names = Draw::distinctNames(TextFiles::splitLines(QString::fromUtf8(bytes)));
    closed.listSha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    closed.description =
        TextFiles::readAll(files.descriptionPath(event) + EventFiles::kClosedSuffix).value_or(QString());
    closed.addresses = SignUpAddresses::read(files.addressPath(event) + EventFiles::kClosedSuffix);
    const QString stem = listPath.chopped(EventFiles::kRecordSuffix.size() + EventFiles::kClosedSuffix.size());
    closed.drawPath = stem + QStringLiteral(".draw.txt");
    closed.sentPath = stem + QStringLiteral(".sent");
    closed.movesPath = stem + QStringLiteral(".moves.txt");
    return closed;
}

std::optional<QList<QStringList>> ClosedEvent::openListRows(const EventFiles& files, const QString& event,
                                                             FileResult& failure)
{
    const std::optional<QStringList> lines = TextFiles::readLines(files.recordPath(event), &failure);
    if (!lines)
        return std::nullopt;
    const QHash<QString, QString> addresses = SignUpAddresses::read(files.addressPath(event));
    QList<QStringList> rows{{QStringLiteral("Name"), QStringLiteral("Address")}};
    for (const QString& name : Draw::distinctNames(*lines))
        rows.append({name, addresses.value(name)});
    return rows;
}

} // namespace Enrolix
