#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Enrolix::PeerCertificate {

// Whether the chain a server presented (its certificate first, each DER-encoded) leads to an
// authority the system trusts, or to the one of caFile (PEM; none when empty), and names the host
// (a name or an address) as a server.
bool trusted(const QList<QByteArray>& chain, const QString& host, const QString& caFile);

} // namespace Enrolix::PeerCertificate
