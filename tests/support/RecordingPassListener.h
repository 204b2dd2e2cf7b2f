#pragma once

#include "attendant/PassListener.h"

#include <QList>
#include <QStringList>

namespace Enrolix::Testing {

// Records every report of a processing pass in order.
class RecordingPassListener final : public PassListener
{
public:
    void statusChanged(const QString& status) override { statuses.append(status); }
    void replySent(qint16 requestsProcessed) override { repliesSent.append(requestsProcessed); }
    void connectionFailed(qint16 connectionFailures, const QString& reason) override
    {
        failures.append(connectionFailures);
        reasons.append(reason);
    }
    void clear()
    {
        statuses.clear();
        repliesSent.clear();
        failures.clear();
        reasons.clear();
    }

    QStringList statuses;
    QList<qint16> repliesSent;
    QList<qint16> failures;
    QStringList reasons;
};

} // namespace Enrolix::Testing
