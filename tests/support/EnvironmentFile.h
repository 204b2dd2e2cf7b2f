#pragma once

#include <QMap>
#include <QString>

#include <optional>

namespace Enrolix::Testing {

// The KEY=value lines of the file that a fixture script wrote, named by the environment variable
// variable; nothing when the variable is unset or the file cannot be read.
std::optional<QMap<QString, QString>> readEnvironmentFile(const char* variable);

// The KEY=value lines of the file at path; nothing when it cannot be read.
std::optional<QMap<QString, QString>> readEnvironmentFileAt(const QString& path);

} // namespace Enrolix::Testing
