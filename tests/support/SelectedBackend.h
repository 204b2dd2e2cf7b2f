#pragma once

// The mail store that a test built twice runs against: the Dovecot server and SMTP sink of the
// fixture when ENROLIX_PASS_ON_SERVERS is defined, Maildir folders otherwise.
#ifdef ENROLIX_PASS_ON_SERVERS
#include "support/ServerBackend.h"
namespace Enrolix::Testing {
using Backend = ServerBackend;
}
#else
#include "support/MaildirBackend.h"
namespace Enrolix::Testing {
using Backend = MaildirBackend;
}
#endif
