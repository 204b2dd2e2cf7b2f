#pragma once

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <set>

namespace Enrolix {

// The sockets of a libcurl handle, opened and closed through this, so that another thread can cut
// off a connection whose server keeps its goodbye waiting, without ever touching a socket number
// that was closed and given out again.
class CurlSockets
{
public:
    // The handle opens and closes its sockets here from now on.
    void attach(CURL* curl);
    // Runs work, which ends the handle's connections; once it has taken longer than limit, the
    // sockets still open are shut down, so that work ends at once.
    void cutOffAfter(std::chrono::milliseconds limit, const std::function<void()>& work);

private:
    static curl_socket_t open(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int close(void* self, curl_socket_t socket);

    std::mutex m_mutex;
    std::set<curl_socket_t> m_open;
};

} // namespace Enrolix
