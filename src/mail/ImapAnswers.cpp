#include "mail/ImapAnswers.h"

#include <algorithm>

namespace Enrolix::ImapAnswers {
namespace {

const QByteArray kLineEnd = "\r\n";
const QByteArray kUntagged = "* ";
const QByteArray kContinuation = "+ ";

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

// Every response of an answer text, tagged or not: its lines joined by the literals that end
// them, without its final line end.
QList<QByteArray> responses(const QByteArray& text)
{
    QList<QByteArray> all;
    qsizetype at = 0;
    while (at < text.size()) {
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
        all.append(response);
    }
    return all;
}

QList<QByteArray> untaggedOf(const QList<QByteArray>& all)
{
    QList<QByteArray> result;
    for (const QByteArray& response : all) {
        if (response.startsWith(kUntagged))
            result.append(response.mid(kUntagged.size()));
    }
    return result;
}

// The tag of the response that completes the command, which is the last tagged one.
QByteArray completionTag(const QList<QByteArray>& all)
{
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (!it->isEmpty() && !it->startsWith(kUntagged) && !it->startsWith(kContinuation))
            return it->left(it->indexOf(' '));
    }
    return {};
}

// A number as IMAP writes it: digits only (toULongLong would also take a sign or blanks).
std::optional<qulonglong> numberOf(const QByteArray& word)
{
    if (word.isEmpty() || !std::all_of(word.cbegin(), word.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong value = word.toULongLong(&ok);
    return ok ? std::optional<qulonglong>(value) : std::nullopt;
}

// The words after the name of the one untagged response so named; nothing when there is none,
// or more than one, which one command never answers.
std::optional<QList<QByteArray>> onlyResponse(const QList<QByteArray>& untaggedResponses, const QByteArray& name)
{
    std::optional<QList<QByteArray>> found;
    for (const QByteArray& response : untaggedResponses) {
        QList<QByteArray> words = response.simplified().split(' ');
        if (words.first().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            return std::nullopt;
        words.removeFirst();
        found = words;
    }
    return found;
}

// The value of a numeric response code ("[UIDNEXT n]") in an untagged OK response of text.
std::optional<qulonglong> codeValue(const QByteArray& text, const QByteArray& name)
{
    const QByteArray code = '[' + name + ' ';
    for (const QByteArray& response : untagged(text)) {
        if (!response.startsWith("OK "))
            continue;
        const qsizetype at = response.indexOf(code);
        if (at < 0)
            continue;
        const qsizetype start = at + code.size();
        if (const std::optional<qulonglong> value = numberOf(response.mid(start, response.indexOf(']', start) - start)))
            return value;
    }
    return std::nullopt;
}

} // namespace

QList<QByteArray> untagged(const QByteArray& text)
{
    return untaggedOf(responses(text));
}

std::optional<QList<qulonglong>> searchResults(const QByteArray& text, ImapSequenceSet::Range asked, qulonglong most)
{
    const std::optional<QList<QByteArray>> words = onlyResponse(untagged(text), "SEARCH");
    if (!words || qulonglong(words->size()) > most)
        return std::nullopt;
    QList<qulonglong> uids;
    for (const QByteArray& word : *words) {
        const std::optional<qulonglong> uid = numberOf(word);
        if (!uid || !asked.contains(*uid))
            return std::nullopt;
        uids.append(*uid);
    }
    std::sort(uids.begin(), uids.end());
    if (std::adjacent_find(uids.cbegin(), uids.cend()) != uids.cend())
        return std::nullopt;
    return uids;
}

std::optional<QList<qulonglong>> extendedSearchResults(const QByteArray& text, ImapSequenceSet::Range asked,
                                                       qulonglong most)
{
    const QList<QByteArray> all = responses(text);
    const std::optional<QList<QByteArray>> found = onlyResponse(untaggedOf(all), "ESEARCH");
    if (!found)
        return std::nullopt;
    QList<QByteArray> words = *found;
    // The answer names the command it answers: (TAG "A005").
    if (words.size() >= 2 && words.first().compare("(TAG", Qt::CaseInsensitive) == 0) {
        if ('"' + completionTag(all) + "\")" != words.at(1))
            return std::nullopt;
        words.remove(0, 2);
    }
    if (words.isEmpty() || words.first().compare("UID", Qt::CaseInsensitive) != 0 || words.size() % 2 == 0)
        return std::nullopt;
    std::optional<qulonglong> count;
    std::optional<QByteArray> set;
    for (qsizetype at = 1; at < words.size(); at += 2) {
        const QByteArray name = words.at(at).toUpper();
        if (name == "COUNT" && !count) {
            count = numberOf(words.at(at + 1));
            if (!count)
                return std::nullopt;
        } else if (name == "ALL" && !set) {
            set = words.at(at + 1);
        } else {
            return std::nullopt;
        }
    }
    if (!count || *count > most)
        return std::nullopt;
    // An empty result comes without a set.
    if (!set)
        return *count == 0 ? std::optional<QList<qulonglong>>(QList<qulonglong>()) : std::nullopt;
    const std::optional<QList<qulonglong>> uids = ImapSequenceSet::parse(*set, asked, *count);
    if (!uids || qulonglong(uids->size()) != *count)
        return std::nullopt;
    return uids;
}

std::optional<qulonglong> uidValidity(const QByteArray& text)
{
    return codeValue(text, "UIDVALIDITY");
}

std::optional<qulonglong> uidNext(const QByteArray& text)
{
    return codeValue(text, "UIDNEXT");
}

std::optional<qulonglong> messageCount(const QByteArray& text)
{
    std::optional<qulonglong> count;
    for (const QByteArray& response : untagged(text)) {
        const QList<QByteArray> words = response.split(' ');
        if (words.size() == 2 && words.last().compare("EXISTS", Qt::CaseInsensitive) == 0)
            count = numberOf(words.first());
    }
    return count;
}

QList<QByteArray> capabilities(const QByteArray& text)
{
    static const QByteArray listing = "CAPABILITY ";
    static const QByteArray code = '[' + listing;
    QList<QByteArray> last;
    for (const QByteArray& response : responses(text)) {
        QByteArray words;
        if (response.startsWith(kUntagged + listing)) {
            words = response.mid(kUntagged.size() + listing.size());
        } else if (const qsizetype at = response.indexOf(code); at >= 0) {
            const qsizetype start = at + code.size();
            words = response.mid(start, response.indexOf(']', start) - start);
        } else {
            continue;
        }
        last = words.toUpper().simplified().split(' ');
    }
    return last;
}

} // namespace Enrolix::ImapAnswers
