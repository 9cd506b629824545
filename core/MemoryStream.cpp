#include "core/MemoryStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Core::Portable
{

MemoryStream::MemoryStream(std::size_t initialCapacity)
{
    reserve(initialCapacity);
}

MemoryStream::MemoryStream(std::string_view contents)
{
    write(contents.data(), static_cast<int>(contents.size()));
    position_ = 0;
}

MemoryStream::MemoryStream(const MemoryStream& other)
{
    *this = other;
}

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
{
    *this = std::move(other);
}

MemoryStream& MemoryStream::operator=(const MemoryStream& other)
{
    if (this == &other)
        return *this;
    clear();
    limit_ = static_cast<std::size_t>(-1);
    if (reserve(other.size_))
    {
        if (other.size_)
            std::memcpy(data_, other.data_, other.size_);
        size_ = other.size_;
        position_ = other.position_;
    }
    limit_ = other.limit_;
    return *this;
}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept
{
    if (this == &other)
        return *this;
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    position_ = std::exchange(other.position_, 0);
    limit_ = other.limit_;
    return *this;
}

MemoryStream::~MemoryStream()
{
    std::free(data_);
}

int MemoryStream::read(void* buffer, int size)
{
    if (size < 0)
        return -1;
    if (position_ >= size_)
        return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(size), size_ - position_);
    std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return static_cast<int>(count);
}

int MemoryStream::write(const void* data, int size)
{
    if (size < 0)
        return -1;
    if (size == 0)
        return 0;
    const std::size_t count = static_cast<std::size_t>(size);
    if (position_ > limit_ || count > limit_ - position_)
        return -1;
    const std::size_t end = position_ + count;
    if (!reserve(end))
        return -1;
    if (position_ > size_)
        std::memset(data_ + size_, 0, position_ - size_);
    std::memmove(data_ + position_, data, count);
    position_ = end;
    size_ = std::max(size_, end);
    return size;
}

std::int64_t MemoryStream::seek(std::int64_t offset, SeekMode mode)
{
    std::int64_t base = 0;
    if (mode == SeekMode::Current)
        base = static_cast<std::int64_t>(position_);
    else if (mode == SeekMode::End)
        base = static_cast<std::int64_t>(size_);
    const std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    position_ = static_cast<std::size_t>(target);
    return target;
}

void MemoryStream::clear()
{
    size_ = 0;
    position_ = 0;
}

bool MemoryStream::resize(std::size_t size)
{
    if (size > limit_ || !reserve(size))
        return false;
    if (size > size_)
        std::memset(data_ + size_, 0, size - size_);
    size_ = size;
    position_ = std::min(position_, size_);
    return true;
}

bool MemoryStream::reserve(std::size_t needed)
{
    if (needed <= capacity_)
        return true;
    // Whole steps of kGrowStep; past 64 KiB at least double, so that a large
    // content is not copied once per step.
    std::size_t capacity = (needed + kGrowStep - 1) / kGrowStep * kGrowStep;
    if (capacity_ >= 64 * 1024)
        capacity = std::max(capacity, capacity_ * 2);
    void* grown = std::realloc(data_, capacity);
    if (!grown)
        return false;
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
    return true;
}

} // namespace Core::Portable
