#pragma once

#include "mail/TransportLimits.h"

#include <QtGlobal>

namespace Enrolix {

// Watches the traffic of one request against the limits, telling distance from trouble. After a
// command, or once a message is sent, the server is expected to answer: that wait is judged by
// the silence limit alone, however long the link. While the server is sending an answer (bytes
// following bytes), or taking a message (chunks following chunks), the time counts as transfer
// time, judged against what its bytes need at the slowest working rate. Times are read on any
// one clock that never goes back.
class TransferWatch
{
public:
    using Duration = TransportLimits::Duration;

    explicit TransferWatch(const TransportLimits& limits) : m_limits(limits) {}

    // A request begins: nothing has moved yet.
    void start(Duration now);
    // A command went to the server.
    void commandSent(Duration now);
    // Bytes of a message (an upload) went to the server.
    void dataSent(Duration now, qint64 bytes);
    // Bytes came from the server.
    void received(Duration now, qint64 bytes);

    // How long nothing has moved.
    Duration silence(Duration now) const { return now - m_last; }
    // The transfer time so far, all of it once it exceeds what its bytes allow; zero before.
    Duration troubled(Duration now) const;

private:
    enum class Last { Nothing, Command, Data, Received };
    void moved(Duration now, Last kind, qint64 bytes);

    TransportLimits m_limits;
    Duration m_last{0};
    Last m_kind{Last::Nothing};
    Duration m_transfer{0};
    qint64 m_bytes{0};
};

} // namespace Enrolix
