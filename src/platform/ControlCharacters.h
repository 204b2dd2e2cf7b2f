#pragma once

#include <QChar>
#include <QString>

namespace Enrolix {

// C0 and C1 controls (CR, LF, tab, ...) and the Unicode line and paragraph separators: characters
// that would break a line of a working file or a mail header.
inline bool isControlCharacter(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

inline bool containsControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (isControlCharacter(c))
            return true;
    }
    return false;
}

// A visible stand-in for a control character in a text that people read: the Unicode control
// picture of a C0 control or DEL (U+240D for CR), the replacement character for the others.
inline QChar visibleControlCharacter(QChar c)
{
    if (c.unicode() < 0x20)
        return QChar(char16_t(0x2400 + c.unicode()));
    if (c.unicode() == 0x7F)
        return QChar(char16_t(0x2421));
    return QChar::ReplacementCharacter;
}

// The text with each control character replaced by its visible stand-in: for a stranger's text
// echoed in a reply or written into a line of a log or a file.
inline QString withVisibleControlCharacters(QString text)
{
    for (QChar& c : text) {
        if (isControlCharacter(c))
            c = visibleControlCharacter(c);
    }
    return text;
}

} // namespace Enrolix
