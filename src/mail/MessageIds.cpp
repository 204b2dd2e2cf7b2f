#include "mail/MessageIds.h"

#include <QStringList>

namespace Enrolix::MessageIds {
namespace {

bool isAtext(QChar c)
{
    static const QString specials = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || specials.contains(c));
}

// Dot-atom text, with the dots of obsolete forms (leading, trailing or doubled) let through:
// some mail programs still write them.
bool isDotAtomText(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!isAtext(c) && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

bool isDomainLiteral(QStringView text)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')))
        return false;
    for (const QChar c : text.sliced(1, text.size() - 2)) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7E || c == QLatin1Char('[') || c == QLatin1Char(']') ||
            c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

} // namespace

bool isSane(const QString& id)
{
    const qsizetype at = id.indexOf(QLatin1Char('@'));
    if (id.size() > kMaxLength || at < 0)
        return false;
    const QStringView left = QStringView(id).first(at);
    const QStringView right = QStringView(id).sliced(at + 1);
    return isDotAtomText(left) && (isDotAtomText(right) || isDomainLiteral(right));
}

QByteArray replyReferences(const QString& references, const QString& id)
{
    QStringList ids;
    for (const QString& reference : references.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool bracketed = reference.startsWith(QLatin1Char('<')) && reference.endsWith(QLatin1Char('>'));
        const QString bare = bracketed ? reference.mid(1, reference.size() - 2) : reference;
        if (isSane(bare))
            ids.append(bare);
    }
    if (isSane(id))
        ids.append(id);
    if (ids.size() > kMaxReferences)
        ids.remove(1, ids.size() - kMaxReferences);
    QByteArray result;
    for (const QString& kept : ids)
        result += (result.isEmpty() ? "<" : " <") + kept.toUtf8() + '>';
    return result;
}

} // namespace Enrolix::MessageIds
