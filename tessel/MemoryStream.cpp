#include "tessel/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace Tessel
{

MemoryStream::MemoryStream() : data(nullptr), size(0), writable(true)
{
    owned.reserve(kInitialCapacity);
    data = owned.data();
}

MemoryStream::MemoryStream(const void* data, size_t size) : data(static_cast<const char*>(data)), size(size)
{
}

MemoryStream::MemoryStream(std::string bytes) : owned(std::move(bytes)), data(nullptr), size(0)
{
    data = owned.data();
    size = owned.size();
}

void* MemoryStream::queryInterface(const UID& iid)
{
    TESSEL_QUERY_INTERFACE(IStream)
    return Unknown::queryInterface(iid);
}

int64_t MemoryStream::read(void* buffer, int64_t count)
{
    if (count < 0)
        return -1;
    size_t n = std::min(size_t(count), size - position);
    if (n)
        std::memcpy(buffer, data + position, n);
    position += n;
    return int64_t(n);
}

int64_t MemoryStream::write(const void* bytes, int64_t count)
{
    if (!writable || count < 0)
        return -1;
    if (owned.size() + size_t(count) > owned.capacity())
        owned.reserve(std::max(owned.capacity() * 2, owned.size() + size_t(count)));
    owned.append(static_cast<const char*>(bytes), size_t(count));
    data = owned.data();
    size = owned.size();
    return count;
}

} // namespace Tessel
