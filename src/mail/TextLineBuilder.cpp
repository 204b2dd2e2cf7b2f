#include "mail/TextLineBuilder.h"

namespace Enrolix {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

TextLineBuilder::TextLineBuilder(qsizetype limit) : m_limit(limit) {}

void TextLineBuilder::addText(QStringView run)
{
    if (isFull())
        return;
    for (const QChar c : run) {
        if (c.isSpace()) {
            m_blankPending = !m_line.isEmpty();
            continue;
        }
        if (m_blankPending)
            m_line += QLatin1Char(' ');
        m_blankPending = false;
        m_line += c;
    }
}

void TextLineBuilder::addLineBreak()
{
    m_blankPending = false;
    if (m_line.isEmpty()) {
        if (!m_text.isEmpty())
            ++m_emptyLines;
        return;
    }
    if (!m_text.isEmpty())
        m_text += kLineEnd.repeated(m_emptyLines + 1);
    m_text += m_line;
    m_line.clear();
    m_emptyLines = 0;
}

bool TextLineBuilder::isFull() const
{
    return m_text.size() + kLineEnd.size() * m_emptyLines + m_line.size() >= m_limit;
}

QString TextLineBuilder::take()
{
    addLineBreak();
    QString text = std::move(m_text);
    m_text.clear();
    m_emptyLines = 0;
    truncateWhole(text, m_limit);
    return text;
}

void truncateWhole(QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return;
    text.truncate(limit > 0 && text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit);
}

} // namespace Enrolix
