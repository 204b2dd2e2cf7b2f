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

} // namespace Enrolix
