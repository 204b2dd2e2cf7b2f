#include "platform/mail/TcpConnect.h"

#include "mail/MailTexts.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace Enrolix::TcpConnect {
namespace {

using Clock = std::chrono::steady_clock;

enum class Outcome { Connected, Refused, TimedOut, Woken };

// Connects the socket, in non-blocking mode, to one address.
Outcome attempt(int socket, const addrinfo& address, Clock::time_point until, int wake)
{
    if (::connect(socket, address.ai_addr, address.ai_addrlen) == 0)
        return Outcome::Connected;
    if (errno != EINPROGRESS)
        return Outcome::Refused;
    pollfd entries[2] = {{socket, POLLOUT, 0}, {wake, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    const int ready = ::poll(entries, 2, int(std::max<qint64>(0, left.count())));
    if (ready > 0 && (entries[1].revents & POLLIN))
        return Outcome::Woken;
    if (ready <= 0)
        return Outcome::TimedOut;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0 ? Outcome::Connected
                                                                                          : Outcome::Refused;
}

} // namespace

int connect(const QString& host, quint16 port, std::chrono::milliseconds time, int wake, QString& failure)
{
    const Clock::time_point until = Clock::now() + time;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &addresses) != 0) {
        failure = MailTexts::kHostNotFound;
        return -1;
    }
    failure = MailTexts::kHostUnreachable;
    int connected = -1;
    for (const addrinfo* address = addresses; address && connected < 0; address = address->ai_next) {
        const int socket =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (socket < 0)
            continue;
        const Outcome outcome = attempt(socket, *address, until, wake);
        if (outcome == Outcome::Connected && ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) & ~O_NONBLOCK) == 0) {
            connected = socket;
            continue;
        }
        ::close(socket);
        if (outcome == Outcome::TimedOut)
            failure = MailTexts::kNoAnswerInTime;
        if (outcome == Outcome::Woken || outcome == Outcome::TimedOut)
            break;
    }
    ::freeaddrinfo(addresses);
    return connected;
}

} // namespace Enrolix::TcpConnect
