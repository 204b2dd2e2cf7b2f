#pragma once

#include <QString>

#include <chrono>

namespace Enrolix::TcpConnect {

// A blocking TCP socket connected to the host (a name or an address) and port, trying each address
// of the host in turn within the time; -1, with why in words for the coordinator, when none answers
// in time or the wake descriptor becomes readable first.
int connect(const QString& host, quint16 port, std::chrono::milliseconds time, int wake, QString& failure);

} // namespace Enrolix::TcpConnect
