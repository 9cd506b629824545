#pragma once

#include "core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Core::Portable
{

// A stream over a growable buffer it owns. Writing at the position
// overwrites and extends; reading stops at the end of the written data.
// The buffer grows in steps of kGrowStep bytes, at least doubling once it is
// large so that big contents are not copied over and over.
class MemoryStream : public Stream
{
public:
    static constexpr std::size_t kGrowStep = 1024;

    // initialCapacity bytes are reserved at once (rounded up to the step).
    explicit MemoryStream(std::size_t initialCapacity = 0);
    // Copies the given bytes; the position is 0.
    explicit MemoryStream(std::string_view contents);
    MemoryStream(const MemoryStream& other);
    MemoryStream(MemoryStream&& other) noexcept;
    MemoryStream& operator=(const MemoryStream& other);
    MemoryStream& operator=(MemoryStream&& other) noexcept;
    ~MemoryStream() override;

    int read(void* buffer, int size) override;
    // Fails (-1, nothing written) when the size would pass the limit or the
    // heap is exhausted.
    int write(const void* data, int size) override;
    // Positions past the end are allowed; a later write fills the gap with zeros.
    std::int64_t seek(std::int64_t offset, SeekMode mode = SeekMode::Begin) override;
    std::int64_t tell() const override { return static_cast<std::int64_t>(position_); }

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    std::string_view view() const { return std::string_view(data_ ? data_ : "", size_); }
    std::string toString() const { return std::string(view()); }

    // Empties the stream (keeps the buffer) and moves to position 0.
    void clear();
    // Cuts or zero-extends the contents to size; false when the heap is exhausted
    // or the limit is passed.
    bool resize(std::size_t size);
    // Refuses writes that would make the contents larger than limit bytes
    // (default: no limit).
    void setLimit(std::size_t limit) { limit_ = limit; }
    std::size_t limit() const { return limit_; }

private:
    bool reserve(std::size_t needed);

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;
    std::size_t limit_ = static_cast<std::size_t>(-1);
};

} // namespace Core::Portable
