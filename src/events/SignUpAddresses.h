#pragma once

#include "platform/TextFiles.h"

#include <QHash>
#include <QString>

#include <optional>

namespace Enrolix {

// The addresses of an event's sign-ups, in event number + ".sca" beside its sign-up list: one
// line per sign-up, the name, a tab and the sender's address, kept in step with the list. The
// list stays the authority and keeps its format; a name without a line here (one signed up
// before addresses were kept) has no address. A missing file is an empty one.
namespace SignUpAddresses {

inline const QChar kSeparator = QLatin1Char('\t');

// Adds the line of the name, unless the name has one already.
FileResult add(const QString& path, const QString& name, const QString& address, TextFiles::Sync sync);
// Takes every line of the name out.
FileResult remove(const QString& path, const QString& name);
// The address of each name, the first one given where a name has several; none when the file
// cannot be read.
QHash<QString, QString> read(const QString& path);
// The same, but nothing when the file exists and cannot be read.
std::optional<QHash<QString, QString>> readIfReadable(const QString& path);

} // namespace SignUpAddresses
} // namespace Enrolix
