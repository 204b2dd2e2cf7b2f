#include "attendant/MailArrivals.h"

#include "attendant/AttendantTexts.h"

namespace Enrolix {

MailArrivals::MailArrivals(std::function<void(const QString&)> log) : m_log(std::move(log)) {}

void MailArrivals::watching(InboxWatcher::Watching how)
{
    switch (how) {
    case InboxWatcher::Watching::ImapIdle:
        m_log(AttendantTexts::kWatchingImapIdle);
        break;
    case InboxWatcher::Watching::Maildir:
        m_log(AttendantTexts::kWatchingMaildir);
        break;
    case InboxWatcher::Watching::Nothing:
        m_log(AttendantTexts::watchingNothing(m_interval));
        break;
    }
}

void MailArrivals::arrived()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_firstArrival)
            m_firstArrival = Clock::now();
    }
    m_changed.notify_all();
}

void MailArrivals::interrupted(const QString& reason, std::chrono::milliseconds pause)
{
    m_log(AttendantTexts::watchInterrupted(reason, std::chrono::ceil<std::chrono::seconds>(pause)));
}

void MailArrivals::waitForMail(const std::stop_token& stop, Clock::time_point until)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_changed.wait_until(lock, stop, until, [this] { return m_firstArrival.has_value(); }))
        return;
    m_changed.wait_until(lock, stop, *m_firstArrival + kGathering, [] { return false; });
    m_firstArrival.reset();
}

} // namespace Enrolix
