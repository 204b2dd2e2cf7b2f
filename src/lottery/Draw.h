#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Enrolix::Draw {

// Where a drawn name stands: as drawn (Selected, Waiting), or after a seat was given back
// (Released) and passed on to the first one waiting (MovedUp).
enum class Status { Selected, Waiting, Released, MovedUp };

// One drawn name: its place, whether it got a seat, and the hash that placed it.
struct Entry
{
    int rank{0};
    QString name;
    QString hash;
    bool selected{false};
};

// The lowercase hex SHA-256 of the key, a line feed and the name, in UTF-8: what anyone can
// recompute with printf '%s\n%s' "$KEY" "$NAME" | sha256sum.
QString rankHash(const QString& key, const QString& name);

// Each distinct non-empty line once, in the order given.
QStringList distinctNames(const QStringList& lines);

// Each distinct non-empty name once, ranked by its hash, smallest first (ties, which would take
// a collision, by the name); the first seats are selected, the rest wait in that order. The
// order of names plays no part.
QList<Entry> rank(const QStringList& names, const QString& key, int seats);

} // namespace Enrolix::Draw
