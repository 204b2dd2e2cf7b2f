#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace Enrolix::CurlBuffers {

// libcurl write or header callback: appends what arrives to the QByteArray given as its data.
inline size_t collect(char* data, size_t size, size_t count, void* target)
{
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}

// What an upload sends, and how much of it libcurl has taken.
struct Upload
{
    QByteArray data;
    qsizetype sent{0};

    void reset(const QByteArray& bytes = {})
    {
        data = bytes;
        sent = 0;
    }

    // libcurl read callback, with the Upload as its data.
    static size_t supply(char* buffer, size_t size, size_t count, void* self)
    {
        auto* upload = static_cast<Upload*>(self);
        const size_t chunk = std::min(size * count, size_t(upload->data.size() - upload->sent));
        std::memcpy(buffer, upload->data.constData() + upload->sent, chunk);
        upload->sent += qsizetype(chunk);
        return chunk;
    }
};

} // namespace Enrolix::CurlBuffers
