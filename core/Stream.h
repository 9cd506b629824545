#pragma once

#include <cstdint>

namespace Core::Portable
{

// A byte stream. Counts are in bytes; a negative result is a failure.
class Stream
{
public:
    enum class SeekMode
    {
        Begin,
        Current,
        End
    };

    virtual ~Stream();

    // Reads up to size bytes into buffer; returns the number read, 0 at the
    // end of the stream, -1 on failure or when the stream cannot be read.
    virtual int read(void* buffer, int size);
    // Writes size bytes; returns size, or -1 when not all could be written.
    virtual int write(const void* data, int size);
    // Moves the position; returns the new position or -1 (also when the
    // stream cannot seek).
    virtual std::int64_t seek(std::int64_t offset, SeekMode mode = SeekMode::Begin);
    // The current position, or -1 when the stream has none.
    virtual std::int64_t tell() const;
};

} // namespace Core::Portable
