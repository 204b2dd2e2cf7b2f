#include "mail/HtmlText.h"

#include "mail/TextLineBuilder.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <mutex>
#include <string_view>

namespace Enrolix::HtmlText {
namespace {

bool isOneOf(const xmlChar* name, const auto& names)
{
    const std::string_view value(reinterpret_cast<const char*>(name));
    return std::find(names.begin(), names.end(), value) != names.end();
}

bool isHidden(const xmlChar* name)
{
    static constexpr std::array<std::string_view, 4> hidden = {"head", "script", "style", "title"};
    return isOneOf(name, hidden);
}

// Elements whose start and end both end a line.
bool isBlock(const xmlChar* name)
{
    static constexpr std::array<std::string_view, 13> blocks = {
        "p", "div", "tr", "li", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "table", "pre",
    };
    return isOneOf(name, blocks);
}

// Empty elements that end a line where they stand; the parser reports their end at once too.
bool isBreak(const xmlChar* name)
{
    static constexpr std::array<std::string_view, 2> breaks = {"br", "hr"};
    return isOneOf(name, breaks);
}

// What the parser's callbacks build up.
struct Conversion
{
    explicit Conversion(qsizetype limit) : text(limit) {}

    TextLineBuilder text;
    const Source* source{nullptr};
    htmlParserCtxtPtr parser{nullptr};
    // Depth of open elements whose content is not shown.
    int hidden{0};
};

Conversion& conversionOf(void* context)
{
    return *static_cast<Conversion*>(context);
}

void onStartElement(void* context, const xmlChar* name, const xmlChar** /*attributes*/)
{
    Conversion& conversion = conversionOf(context);
    if (isHidden(name))
        ++conversion.hidden;
    else if (conversion.hidden == 0 && (isBlock(name) || isBreak(name)))
        conversion.text.addLineBreak();
}

void onEndElement(void* context, const xmlChar* name)
{
    Conversion& conversion = conversionOf(context);
    if (isHidden(name))
        conversion.hidden = std::max(0, conversion.hidden - 1);
    else if (conversion.hidden == 0 && isBlock(name))
        conversion.text.addLineBreak();
}

void onCharacters(void* context, const xmlChar* text, int size)
{
    Conversion& conversion = conversionOf(context);
    if (conversion.hidden > 0)
        return;
    conversion.text.addText(QString::fromUtf8(reinterpret_cast<const char*>(text), size));
    if (conversion.text.isFull())
        xmlStopParser(conversion.parser);
}

void ignoreError(void* /*context*/, xmlErrorPtr /*error*/) {}

int readSource(void* context, char* buffer, int size)
{
    return (*conversionOf(context).source)(buffer, size);
}

int closeSource(void* /*context*/)
{
    return 0;
}

htmlSAXHandler textHandler()
{
    htmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.startElement = &onStartElement;
    handler.endElement = &onEndElement;
    handler.characters = &onCharacters;
    // Blanks between words count as ignorable where the parser cannot tell; they fold anyway.
    handler.ignorableWhitespace = &onCharacters;
    // A structured error handler of its own keeps libxml2 from printing errors on stderr.
    handler.serror = &ignoreError;
    handler.initialized = XML_SAX2_MAGIC;
    return handler;
}

} // namespace

QString toPlainText(const Source& source, qsizetype limit)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    Conversion conversion(limit);
    conversion.source = &source;
    // Not the push parser: libxml2 2.9's loses its place in the lookahead and then holds the
    // whole input until the end. The pull parser reads through source and keeps little of it.
    conversion.parser = htmlNewParserCtxt();
    if (!conversion.parser)
        return {};
    const htmlSAXHandler handler = textHandler();
    std::memcpy(conversion.parser->sax, &handler, sizeof handler);
    conversion.parser->userData = &conversion;
    const htmlDocPtr document =
        htmlCtxtReadIO(conversion.parser, &readSource, &closeSource, &conversion, nullptr, "UTF-8",
                       HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC);
    if (document)
        xmlFreeDoc(document);
    htmlFreeParserCtxt(conversion.parser);
    return conversion.text.take();
}

QString toPlainText(const QString& html)
{
    const QByteArray utf8 = html.toUtf8();
    qsizetype at = 0;
    return toPlainText(
        [&](char* buffer, int size) {
            const qsizetype count = std::min(qsizetype(size), utf8.size() - at);
            std::memcpy(buffer, utf8.constData() + at, size_t(count));
            at += count;
            return int(count);
        },
        std::numeric_limits<qsizetype>::max());
}

} // namespace Enrolix::HtmlText
