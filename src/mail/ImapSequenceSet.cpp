#include "mail/ImapSequenceSet.h"

#include <algorithm>

namespace Enrolix::ImapSequenceSet {
namespace {

std::optional<qulonglong> number(const QByteArray& digits)
{
    // toULongLong takes signs, blanks and "0x"; a sequence set has digits only, and no zero.
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok || value == 0)
        return std::nullopt;
    return value;
}

QByteArray item(qulonglong first, qulonglong last)
{
    if (first == last)
        return QByteArray::number(first);
    return QByteArray::number(first) + ':' + QByteArray::number(last);
}

} // namespace

std::optional<QList<qulonglong>> parse(const QByteArray& set, Range bounds, qulonglong most)
{
    QList<Range> ranges;
    qulonglong total = 0;
    for (const QByteArray& part : set.split(',')) {
        const QList<QByteArray> ends = part.split(':');
        if (ends.size() > 2)
            return std::nullopt;
        const std::optional<qulonglong> from = number(ends.first());
        const std::optional<qulonglong> to = number(ends.last());
        if (!from || !to)
            return std::nullopt;
        const Range range{std::min(*from, *to), std::max(*from, *to)};
        if (!bounds.contains(range.first) || !bounds.contains(range.last))
            return std::nullopt;
        // Counted before any is listed: a set such as "1:4294967295" must not fill the memory.
        if (range.size() > most - total)
            return std::nullopt;
        total += range.size();
        ranges.append(range);
    }
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    QList<qulonglong> numbers;
    numbers.reserve(qsizetype(total));
    for (const Range& range : std::as_const(ranges)) {
        if (!numbers.isEmpty() && range.first <= numbers.last())
            return std::nullopt;
        for (qulonglong offset = 0; offset < range.size(); ++offset)
            numbers.append(range.first + offset);
    }
    return numbers;
}

QList<QByteArray> write(const QList<qulonglong>& ascending, qsizetype maxLength)
{
    QList<QByteArray> sets;
    QByteArray set;
    for (qsizetype at = 0; at < ascending.size();) {
        qsizetype end = at;
        while (end + 1 < ascending.size() && ascending.at(end + 1) == ascending.at(end) + 1)
            ++end;
        const QByteArray next = item(ascending.at(at), ascending.at(end));
        if (!set.isEmpty() && set.size() + 1 + next.size() > maxLength) {
            sets.append(set);
            set.clear();
        }
        set += (set.isEmpty() ? QByteArray() : QByteArray(",")) + next;
        at = end + 1;
    }
    if (!set.isEmpty())
        sets.append(set);
    return sets;
}

} // namespace Enrolix::ImapSequenceSet
