#pragma once

#include <QString>

class QFileDevice;

namespace Enrolix::DiskSync {

// Waits until what was written to the open file is on the disk. False when the disk reports a
// failure, which a buffered write or a network drive may only report here.
bool file(QFileDevice& file);

// Waits until what was written to the file at path is on the disk. False when it cannot be
// opened or the disk reports a failure.
bool path(const QString& path);

// Waits until the entries of a folder (a rename, a new file) are on the disk; failures are
// ignored, as not every file system can sync a folder.
void folder(const QString& path);

} // namespace Enrolix::DiskSync
