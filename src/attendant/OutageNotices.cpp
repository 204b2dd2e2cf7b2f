#include "attendant/OutageNotices.h"

#include "attendant/AttendantTexts.h"

#include <QTextStream>

namespace Enrolix {

OutageNotices::OutageNotices(DesktopNotifier& notifier, QTextStream& log, Clock now)
    : m_notifier(notifier), m_log(log), m_now(std::move(now)), m_started(m_now())
{
}

void OutageNotices::passEnded(const QString& failure)
{
    const QDateTime now = m_now();
    if (failure.isEmpty()) {
        if (m_lastNotice)
            show({AttendantTexts::kAnswersAgain, AttendantTexts::answersAgainBody(now, m_failures), false});
        m_failures = 0;
        m_lastNotice.reset();
        m_lastGood = now;
        return;
    }
    ++m_failures;
    if (m_failures < kStreak || (m_lastNotice && m_lastNotice->secsTo(now) < kRepeatSeconds))
        return;
    show({AttendantTexts::kCannotAnswer, AttendantTexts::cannotAnswerBody(failure, m_lastGood, m_started), true});
    m_lastNotice = now;
}

void OutageNotices::show(const DesktopNotifier::Notice& notice)
{
    m_log << AttendantTexts::noticeLogLine(notice.summary, notice.body) << '\n';
    m_log.flush();
    m_notifier.notify(notice);
}

} // namespace Enrolix
