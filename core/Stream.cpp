#include "core/Stream.h"

namespace Core::Portable
{

Stream::~Stream() = default;

int Stream::read(void*, int)
{
    return -1;
}

int Stream::write(const void*, int)
{
    return -1;
}

std::int64_t Stream::seek(std::int64_t, SeekMode)
{
    return -1;
}

std::int64_t Stream::tell() const
{
    return -1;
}

} // namespace Core::Portable
