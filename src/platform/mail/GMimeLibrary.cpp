#include "platform/mail/GMimeLibrary.h"

#include <mutex>

namespace Enrolix::GMimeLibrary {

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

GMimeMessage* parse(const QByteArray& raw)
{
    ensureInitialised();
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(raw.constData(), size_t(raw.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    return message;
}

} // namespace Enrolix::GMimeLibrary
