#pragma once

#include <QString>

namespace Enrolix::HtmlText {

// The text a reader sees of an HTML body: tags, comments, head, scripts and styles dropped,
// runs of blanks folded, block ends and <br> turned into line ends (CR LF), entities decoded,
// and blank lines at the start removed, so the first characters are the first visible ones.
QString toPlainText(const QString& html);

} // namespace Enrolix::HtmlText
