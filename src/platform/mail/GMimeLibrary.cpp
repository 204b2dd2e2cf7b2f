#include "platform/mail/GMimeLibrary.h"

#include <gmime/gmime.h>

#include <mutex>

namespace Enrolix::GMimeLibrary {

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

} // namespace Enrolix::GMimeLibrary
