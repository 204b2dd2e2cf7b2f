#include "mail/ImapAnswers.h"

namespace Enrolix::ImapAnswers {
namespace {

const QByteArray kLineEnd = "\r\n";

// The byte count of a literal that ends this line ({n} or the non-synchronising {n+}).
std::optional<qsizetype> literalAtEnd(const QByteArray& line)
{
    if (!line.endsWith('}'))
        return std::nullopt;
    const qsizetype open = line.lastIndexOf('{');
    if (open < 0)
        return std::nullopt;
    QByteArray digits = line.mid(open + 1, line.size() - open - 2);
    if (digits.endsWith('+'))
        digits.chop(1);
    bool ok = false;
    const qsizetype count = digits.toLongLong(&ok);
    if (!ok || count < 0 || digits.isEmpty())
        return std::nullopt;
    return count;
}

} // namespace

QList<QByteArray> untagged(const QByteArray& text)
{
    QList<QByteArray> responses;
    qsizetype at = 0;
    while (at < text.size()) {
        // One response: lines joined by the literals that end them.
        QByteArray response;
        while (at < text.size()) {
            qsizetype end = text.indexOf(kLineEnd, at);
            if (end < 0)
                end = text.size();
            const QByteArray line = text.mid(at, end - at);
            response += line;
            at = std::min(end + kLineEnd.size(), text.size());
            const std::optional<qsizetype> literal = literalAtEnd(line);
            if (!literal)
                break;
            response += kLineEnd + text.mid(at, *literal);
            at = std::min(at + *literal, text.size());
        }
        if (response.startsWith("* "))
            responses.append(response.mid(2));
    }
    return responses;
}

QList<qulonglong> searchResults(const QByteArray& text)
{
    QList<qulonglong> numbers;
    for (const QByteArray& response : untagged(text)) {
        const QList<QByteArray> words = response.simplified().split(' ');
        if (words.isEmpty() || words.first().compare("SEARCH", Qt::CaseInsensitive) != 0)
            continue;
        for (qsizetype i = 1; i < words.size(); ++i) {
            bool ok = false;
            const qulonglong number = words.at(i).toULongLong(&ok);
            // A parenthesised addition (such as a MODSEQ) ends the numbers.
            if (!ok)
                break;
            numbers.append(number);
        }
    }
    return numbers;
}

std::optional<qulonglong> uidValidity(const QByteArray& text)
{
    static const QByteArray code = "[UIDVALIDITY ";
    for (const QByteArray& response : untagged(text)) {
        if (!response.startsWith("OK "))
            continue;
        const qsizetype at = response.indexOf(code);
        if (at < 0)
            continue;
        const qsizetype start = at + code.size();
        bool ok = false;
        const qulonglong value = response.mid(start, response.indexOf(']', start) - start).trimmed().toULongLong(&ok);
        if (ok)
            return value;
    }
    return std::nullopt;
}

} // namespace Enrolix::ImapAnswers
