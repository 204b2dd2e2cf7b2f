#include "mail/GMimeLibrary.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace Enrolix::GMimeLibrary {
namespace {

void releaseRaw(gpointer raw)
{
    std::unique_ptr<QByteArray>(static_cast<QByteArray*>(raw));
}

} // namespace

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

GMimeMessage* parse(const QByteArray& raw)
{
    ensureInitialised();
    if (raw.isEmpty())
        return nullptr;
    // A memory stream would copy the whole message; a stream over raw's own bytes does not. The
    // parts read their content from that stream later, so it holds a reference to raw's data.
    FILE* file = fmemopen(const_cast<char*>(raw.constData()), size_t(raw.size()), "r");
    if (!file)
        return nullptr;
    GMimeStream* stream = g_mime_stream_file_new(file);
    g_object_set_data_full(G_OBJECT(stream), "enrolix-raw", new QByteArray(raw), &releaseRaw);
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    return message;
}

QByteArray toBytes(GMimeObject* object)
{
    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GMimeStream* out = g_mime_stream_mem_new();
    g_mime_object_write_to_stream(object, options, out);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
    QByteArray result(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    g_object_unref(out);
    g_mime_format_options_free(options);
    return result;
}

} // namespace Enrolix::GMimeLibrary
