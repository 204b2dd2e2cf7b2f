#pragma once

#include "mail/IncomingMail.h"

#include <QByteArray>

namespace Enrolix::MimeReader {

// Reads a raw message (CR LF or LF line ends) into what the attendant needs. Never fails: a
// message GMime cannot make sense of yields empty fields.
IncomingMail read(const QByteArray& raw);

// The display name as stored in a sign-up list: control characters become blanks, and an empty
// name becomes the address.
QString cleanDisplayName(const QString& name, const QString& address);

// An address a reply can go to: something@something, with no blank, control character or angle
// bracket, of at most 254 octets with a local part of at most 64.
bool isUsableAddress(const QString& address);

} // namespace Enrolix::MimeReader
