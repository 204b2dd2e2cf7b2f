#pragma once

#include <QString>

#include <functional>

namespace Enrolix::HtmlText {

// The text a reader sees of an HTML body: tags, comments, head, scripts and styles dropped,
// runs of blanks folded, block ends and <br> turned into line ends (CR LF), entities decoded,
// and blank lines at the start removed, so the first characters are the first visible ones.
QString toPlainText(const QString& html);

// Fills buffer with up to size further bytes of UTF-8 HTML; returns their count, 0 at the end.
using Source = std::function<int(char* buffer, int size)>;

// The same text of the HTML that source delivers, at most limit characters: reading stops once
// they stand. libxml2's HTML parser reads the markup as it comes, without building a document
// and in time linear in its size however malformed it is (unclosed scripts, stray "<"). A
// charset named inside the HTML is ignored: the bytes are UTF-8.
QString toPlainText(const Source& source, qsizetype limit);

} // namespace Enrolix::HtmlText
