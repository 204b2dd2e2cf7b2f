#pragma once

#include "platform/DesktopNotifier.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class QTextStream;

namespace Enrolix {

// Tells the user of a service without windows when its passes keep failing: after three failed
// passes in a row a notice with the reason and the time of the last good pass, once per streak
// and again each day the streak lasts, and a notice when the first good pass ends the streak.
// Every notice also goes to the log, which is all there is without a notification service.
class OutageNotices
{
public:
    using Clock = std::function<QDateTime()>;

    // Failed passes in a row before the first notice.
    static constexpr int kStreak = 3;
    // How long a streak goes on before its notice is shown again.
    static constexpr qint64 kRepeatSeconds = 24 * 60 * 60;

    // The streak starts counting now(); the clock is the system's unless a test brings its own.
    OutageNotices(DesktopNotifier& notifier, QTextStream& log, Clock now = &QDateTime::currentDateTime);

    // A pass has ended, with the reason it failed, or an empty failure when it did not.
    void passEnded(const QString& failure);

private:
    void show(const DesktopNotifier::Notice& notice);

    DesktopNotifier& m_notifier;
    QTextStream& m_log;
    Clock m_now;
    QDateTime m_started;
    std::optional<QDateTime> m_lastGood;
    int m_failures{0};
    // When the notice of the current streak was last shown; nothing before the first.
    std::optional<QDateTime> m_lastNotice;
};

} // namespace Enrolix
