#include "mail/TransferWatch.h"

namespace Enrolix {

void TransferWatch::start(Duration now)
{
    m_last = now;
    m_kind = Last::Nothing;
    m_transfer = Duration(0);
    m_bytes = 0;
}

void TransferWatch::commandSent(Duration now)
{
    moved(now, Last::Command, 0);
}

void TransferWatch::dataSent(Duration now, qint64 bytes)
{
    moved(now, Last::Data, bytes);
}

void TransferWatch::received(Duration now, qint64 bytes)
{
    moved(now, Last::Received, bytes);
}

void TransferWatch::moved(Duration now, Last kind, qint64 bytes)
{
    // Only a gap between two pieces of the same stream is transfer time; the gap before an
    // answer begins is the server's distance or its work.
    if (kind != Last::Command && kind == m_kind)
        m_transfer += now - m_last;
    m_bytes += bytes;
    m_last = now;
    m_kind = kind;
}

TransferWatch::Duration TransferWatch::troubled(Duration now) const
{
    // An answer under way that has not ended: the time since its last bytes is transfer time too.
    // After a message was sent, the wait may be for the answer: silence judges it.
    const Duration transfer = m_transfer + (m_kind == Last::Received ? now - m_last : Duration(0));
    const Duration allowance = m_limits.grace + Duration(m_bytes * 1000 / m_limits.slowestBytesPerSecond);
    return transfer > allowance ? transfer : Duration(0);
}

} // namespace Enrolix
