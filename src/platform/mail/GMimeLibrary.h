#pragma once

#include <QByteArray>

#include <gmime/gmime.h>

namespace Enrolix::GMimeLibrary {

// Initialises GMime once per process; every user of GMime calls it first.
void ensureInitialised();

// The message of a raw text (CR LF or LF line ends), or null when GMime finds none. The
// caller owns the result (g_object_unref).
GMimeMessage* parse(const QByteArray& raw);

} // namespace Enrolix::GMimeLibrary
