#include "mail/ImapFetchAnswer.h"

#include "mail/MailTransport.h"

#include <optional>

namespace Enrolix::ImapFetchAnswer {
namespace {

const QByteArray kLineEnd = "\r\n";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool endsWord(char c)
{
    return c == ' ' || c == '(' || c == ')' || c == '\r' || c == '\n';
}

// Reads one answer text from start to end, strictly: every method fails on anything else.
class Reader
{
public:
    Reader(const QByteArray& text, qsizetype longest) : m_text(text), m_longest(longest) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    bool lookingAt(const QByteArray& word) const { return QByteArrayView(m_text).sliced(m_at).startsWith(word); }
    bool take(const QByteArray& word)
    {
        if (!lookingAt(word))
            return false;
        m_at += word.size();
        return true;
    }
    // The rest of the line from here, read past its end; nothing when it has no end or could
    // have been cut.
    std::optional<QByteArray> line()
    {
        const qsizetype end = m_text.indexOf(kLineEnd, m_at);
        if (end < 0 || !shortSince(end))
            return std::nullopt;
        const QByteArray rest = m_text.sliced(m_at, end - m_at);
        m_at = end + kLineEnd.size();
        m_lineStart = m_at;
        return rest;
    }
    bool lineEnd()
    {
        if (!shortSince(m_at) || !take(kLineEnd))
            return false;
        m_lineStart = m_at;
        return true;
    }
    bool lastLine() const { return m_text.indexOf(kLineEnd, m_at) == m_text.size() - kLineEnd.size(); }
    std::optional<qulonglong> number()
    {
        const qsizetype start = m_at;
        while (!atEnd() && isDigit(m_text.at(m_at)))
            ++m_at;
        bool ok = false;
        const qulonglong value = m_text.sliced(start, m_at - start).toULongLong(&ok);
        return ok && m_at > start ? std::optional<qulonglong>(value) : std::nullopt;
    }
    // Up to a blank, a bracket or a line end.
    QByteArray word()
    {
        const qsizetype start = m_at;
        while (!atEnd() && !endsWord(m_text.at(m_at)))
            ++m_at;
        return m_text.sliced(start, m_at - start);
    }
    // "{n}" and the line end after it, then the n bytes; nothing when they are not all there.
    std::optional<QByteArray> literal()
    {
        if (!take("{"))
            return std::nullopt;
        const std::optional<qulonglong> count = number();
        if (!count || *count > qulonglong(m_longest) || !take("}") || !lineEnd() ||
            qulonglong(m_text.size() - m_at) < *count)
            return std::nullopt;
        const QByteArray bytes = m_text.sliced(m_at, qsizetype(*count));
        m_at += qsizetype(*count);
        // The line that goes on after a literal is as long as its own part of it.
        m_lineStart = m_at;
        return bytes;
    }
    // A parenthesised list of atoms and lists, as FLAGS and MODSEQ give them.
    bool list()
    {
        int depth = 0;
        do {
            if (atEnd() || lookingAt(kLineEnd) || lookingAt("{") || lookingAt("\""))
                return false;
            const char c = m_text.at(m_at++);
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        } while (depth > 0);
        return true;
    }

private:
    // Whether the line from its start to end is short enough to have come whole.
    bool shortSince(qsizetype end) const { return end - m_lineStart <= MailTransport::kWholeAnswerLine; }

    const QByteArray& m_text;
    const qsizetype m_longest;
    qsizetype m_at{0};
    qsizetype m_lineStart{0};
};

struct Fetched
{
    std::optional<qulonglong> uid;
    std::optional<QByteArray> message;
};

// The items of a FETCH response after its opening bracket, to the line end after its closing one.
std::optional<Fetched> fetchItems(Reader& reader)
{
    Fetched fetched;
    do {
        const QByteArray name = reader.word().toUpper();
        if (!reader.take(" "))
            return std::nullopt;
        if (name == "UID") {
            fetched.uid = reader.number();
            if (!fetched.uid)
                return std::nullopt;
        } else if (name == "BODY[]" || name == "BODY[]<0>") {
            if (reader.take("NIL"))
                continue;
            fetched.message = reader.literal();
            if (!fetched.message)
                return std::nullopt;
        } else if (reader.lookingAt("(") ? !reader.list() : reader.word().isEmpty()) {
            return std::nullopt;
        }
    } while (reader.take(" "));
    if (!reader.take(")") || !reader.lineEnd())
        return std::nullopt;
    return fetched;
}

} // namespace

Messages read(const QByteArray& text, const QSet<qulonglong>& asked, qsizetype longest)
{
    Messages messages;
    Reader reader(text, longest);
    QSet<qulonglong> answered;
    while (!reader.atEnd()) {
        if (reader.take("* ")) {
            const std::optional<qulonglong> sequence = reader.number();
            if (!sequence || !reader.take(" FETCH (")) {
                // Anything else the server says meanwhile; one that carries a literal is not expected.
                const std::optional<QByteArray> rest = reader.line();
                if (!rest || rest->endsWith('}'))
                    return messages;
                continue;
            }
            const std::optional<Fetched> fetched = fetchItems(reader);
            if (!fetched || (fetched->message && !fetched->uid))
                return messages;
            if (!fetched->message)
                continue;
            if (!asked.contains(*fetched->uid) || answered.contains(*fetched->uid))
                return messages;
            answered.insert(*fetched->uid);
            if (fetched->message->size() < longest)
                messages.whole.insert(*fetched->uid, *fetched->message);
        } else if (reader.lastLine() && !reader.lookingAt("+ ")) {
            // The tagged completion, the last line of the answer.
            reader.word();
            messages.inStep = reader.take(" OK") && reader.line() && reader.atEnd();
            return messages;
        } else if (!reader.line()) {
            // Continuations and the completions of the commands before it on a new connection.
            return messages;
        }
    }
    return messages;
}

} // namespace Enrolix::ImapFetchAnswer
