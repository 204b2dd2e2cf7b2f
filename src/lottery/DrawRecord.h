#pragma once

#include "lottery/Draw.h"
#include "platform/TextFiles.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Enrolix {

struct ClosedEvent;

// A draw as saved in event number + ".draw.txt": a header that says what was drawn from, with
// which key and how, then one line per name: rank, "Selected" or "Waiting", name and hash,
// separated by tabs. The file is what anyone checks the result against.
struct DrawRecord
{
    QString event;
    QString listSha256;
    QString key;
    int seats{0};
    QDateTime drawn;
    QList<Draw::Entry> entries;

    static DrawRecord make(const ClosedEvent& closed, const QString& key, int seats, const QDateTime& drawn);

    // The file's whole text, CR LF after every line.
    QString text() const;
    // Reads a saved draw back; nothing when the file is missing or not a draw file.
    static std::optional<DrawRecord> read(const QString& path);

    // Same event, list, key and seats: the same result.
    bool sameDrawAs(const DrawRecord& other) const;
};

} // namespace Enrolix
