#pragma once

#include "platform/TextFiles.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Enrolix {

class EventFiles;

// What a draw is made from: a closed event's sign-up list, description and addresses, and the
// paths of the files the lottery keeps beside them in the working folder.
struct ClosedEvent
{
    QString event;
    QString description;
    // Each distinct non-empty name of the closed list once, in the list's order.
    QStringList names;
    // Lowercase hex SHA-256 of the closed list file's bytes.
    QString listSha256;
    QHash<QString, QString> addresses;
    QString drawPath;
    QString sentPath;
    QString movesPath;

    // Fails when the closed list cannot be read; a missing description or address file is empty.
    static std::optional<ClosedEvent> load(const EventFiles& files, const QString& event, FileResult& failure);
    // The sign-up list of an open event as CSV rows, header first: "Name,Address".
    static std::optional<QList<QStringList>> openListRows(const EventFiles& files, const QString& event,
                                                           FileResult& failure);
};

} // namespace Enrolix
