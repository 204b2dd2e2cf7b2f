#include "platform/mail/CurlSockets.h"

#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <thread>

namespace Enrolix {

void CurlSockets::attach(CURL* curl)
{
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &CurlSockets::open);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &CurlSockets::close);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this);
}

curl_socket_t CurlSockets::open(void* self, curlsocktype, curl_sockaddr* address)
{
    auto* sockets = static_cast<CurlSockets*>(self);
    const std::lock_guard<std::mutex> lock(sockets->m_mutex);
    const curl_socket_t socket = ::socket(address->family, address->socktype, address->protocol);
    if (socket != CURL_SOCKET_BAD)
        sockets->m_open.insert(socket);
    return socket;
}

int CurlSockets::close(void* self, curl_socket_t socket)
{
    auto* sockets = static_cast<CurlSockets*>(self);
    const std::lock_guard<std::mutex> lock(sockets->m_mutex);
    sockets->m_open.erase(socket);
    return ::close(socket);
}

void CurlSockets::cutOffAfter(std::chrono::milliseconds limit, const std::function<void()>& work)
{
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::thread watch([&] {
        std::unique_lock<std::mutex> waiting(doneMutex);
        if (doneChanged.wait_for(waiting, limit, [&done] { return done; }))
            return;
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const curl_socket_t socket : m_open)
            ::shutdown(socket, SHUT_RDWR);
    });
    work();
    {
        const std::lock_guard<std::mutex> lock(doneMutex);
        done = true;
    }
    doneChanged.notify_all();
    watch.join();
}

} // namespace Enrolix
