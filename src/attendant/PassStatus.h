#pragma once

#include <QString>

namespace Enrolix::PassStatus {

// The connection states a processing pass reports, shown by the attendant window as they stand.
inline const QString kConnecting = QStringLiteral("Connecting...");
inline const QString kConnected = QStringLiteral("Connected");
inline const QString kNotConnected = QStringLiteral("Not Connected");

} // namespace Enrolix::PassStatus
