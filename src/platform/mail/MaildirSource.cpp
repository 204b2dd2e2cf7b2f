#include "platform/mail/MaildirSource.h"

#include "mail/MailTexts.h"

#include <QFile>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace Enrolix {
namespace {

// A file delivered by renaming (the Maildir way) or dropped into the folder and closed.
constexpr uint32_t kArrivals = IN_MOVED_TO | IN_CLOSE_WRITE;
// The folder itself went away.
constexpr uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

} // namespace

MaildirSource::MaildirSource(const QString& path, bool create) : m_folder(path), m_create(create) {}

MaildirSource::~MaildirSource()
{
    close();
}

bool MaildirSource::open(int /*wake*/)
{
    m_failure = MailTexts::maildirMissing(m_folder.path());
    if (!m_folder.prepare(m_create))
        return false;
    m_inotify = ::inotify_init1(IN_CLOEXEC);
    if (m_inotify < 0 ||
        ::inotify_add_watch(m_inotify, QFile::encodeName(m_folder.path() + QStringLiteral("new")).constData(),
                            kArrivals | kGone | IN_ONLYDIR) < 0)
        return false;
    m_failure.clear();
    return true;
}

bool MaildirSource::wait(int wake, const std::function<void()>& arrived)
{
    alignas(inotify_event) char events[4096];
    while (true) {
        pollfd entries[2] = {{wake, POLLIN, 0}, {m_inotify, POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR)
            break;
        if (entries[0].revents)
            return true;
        if (!entries[1].revents)
            continue;
        const ssize_t length = ::read(m_inotify, events, sizeof events);
        if (length <= 0)
            break;
        uint32_t seen = 0;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            seen |= event->mask;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
        if (seen & kArrivals)
            arrived();
        if (seen & kGone)
            break;
    }
    m_failure = MailTexts::maildirMissing(m_folder.path());
    return false;
}

void MaildirSource::close()
{
    if (m_inotify >= 0)
        ::close(m_inotify);
    m_inotify = -1;
}

} // namespace Enrolix
