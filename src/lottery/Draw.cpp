#include "lottery/Draw.h"

#include <QCryptographicHash>
#include <QSet>

#include <algorithm>

namespace Enrolix::Draw {

QString rankHash(const QString& key, const QString& name)
{
    const QByteArray input = key.toUtf8() + '\n' + name.toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex());
}

QStringList distinctNames(const QStringList& lines)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString& line : lines) {
        if (line.isEmpty() || seen.contains(line))
            continue;
        seen.insert(line);
        names.append(line);
    }
    return names;
}

QList<Entry> rank(const QStringList& names, const QString& key, int seats)
{
    QList<Entry> entries;
    for (const QString& name : distinctNames(names))
        entries.append({0, name, rankHash(key, name), false});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.name < b.name;
    });
    for (int i = 0; i < entries.size(); ++i) {
        entries[i].rank = i + 1;
        entries[i].selected = i < seats;
    }
    return entries;
}

} // namespace Enrolix::Draw
