#include "tessel/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace Tessel
{

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

} // namespace Tessel
