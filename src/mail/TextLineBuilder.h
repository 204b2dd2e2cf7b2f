#pragma once

#include <QString>
#include <QStringView>

namespace Enrolix {

// Builds the plain text of a marked-up body from its runs of text and its line breaks: runs of
// blanks fold into one blank, lines are trimmed, empty lines at the start and the end are
// dropped and lines are joined by CR LF. Holds at most limit characters: text past them is cut.
class TextLineBuilder
{
public:
    explicit TextLineBuilder(qsizetype limit);

    void addText(QStringView run);
    void addLineBreak();
    // True once limit characters stand: anything added later would be cut off.
    bool isFull() const;
    // The text, at most limit characters; the builder is empty afterwards.
    QString take();

private:
    qsizetype m_limit;
    QString m_text;
    QString m_line;
    // Empty lines after the last line of m_text: written only when a line with text follows.
    qsizetype m_emptyLines{0};
    bool m_blankPending{false};
};

// Cuts text to at most limit characters, never between the two halves of a character outside the
// Basic Multilingual Plane.
void truncateWhole(QString& text, qsizetype limit);

} // namespace Enrolix
