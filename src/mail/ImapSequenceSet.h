#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <optional>

// IMAP sequence sets of UIDs, such as "1:5,7", as answers give them and commands take them.
namespace Enrolix::ImapSequenceSet {

// The UIDs first to last, both included.
struct Range
{
    qulonglong first{0};
    qulonglong last{0};

    qulonglong size() const { return last >= first ? last - first + 1 : 0; }
    bool contains(qulonglong uid) const { return uid >= first && uid <= last; }
};

// The numbers of a set in ascending order, when it is well-formed, names each number once, stays
// within bounds and holds at most most numbers; nothing otherwise. A range may be written either
// way round ("7:5").
std::optional<QList<qulonglong>> parse(const QByteArray& set, Range bounds, qulonglong most);

// Ascending numbers as sets, runs written as ranges ("1:5,7"), each set at most maxLength bytes
// long, so a command built from one stays short however many numbers there are.
QList<QByteArray> write(const QList<qulonglong>& ascending, qsizetype maxLength);

} // namespace Enrolix::ImapSequenceSet
