#pragma once

#include <QByteArray>

#include <gmime/gmime.h>

namespace Enrolix::GMimeLibrary {

// Initialises GMime once per process; every user of GMime calls it first.
void ensureInitialised();

// The message of a raw text (CR LF or LF line ends), or null when GMime finds none. The
// caller owns the result (g_object_unref). The message reads its parts from raw's bytes, which
// it shares rather than copies.
GMimeMessage* parse(const QByteArray& raw);

// The object (a message or a part) as sent: every line ended by CR LF.
QByteArray toBytes(GMimeObject* object);

} // namespace Enrolix::GMimeLibrary
