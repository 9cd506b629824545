#pragma once

#include <string>

#include "tessel/IStream.h"
#include "tessel/Unknown.h"

namespace Tessel
{

// A stream over bytes in memory: borrowed (an embedded resource), owned (a copy), or writable
// (made empty with the default constructor; it holds kInitialCapacity bytes at first and grows as
// it is written). Reads start at the beginning and continue where the last read stopped.
class MemoryStream : public Unknown, public IStream
{
public:
    static constexpr size_t kInitialCapacity = 1024;

    // An empty writable stream with room for kInitialCapacity bytes.
    MemoryStream();
    // Reads `size` bytes at `data` without copying; they must outlive the stream.
    MemoryStream(const void* data, size_t size);
    // Reads its own copy of `bytes`.
    explicit MemoryStream(std::string bytes);

    void* queryInterface(const UID& iid) override;
    int64_t read(void* buffer, int64_t size) override;
    int64_t getSize() const override { return int64_t(size); }

    // Appends `count` bytes at the end of a writable stream, growing it as needed; returns the
    // count written, or -1 for a negative count or a stream that is not writable.
    int64_t write(const void* bytes, int64_t count);
    bool isWritable() const { return writable; }
    // Bytes the stream can hold before it has to grow.
    size_t getCapacity() const { return writable ? owned.capacity() : size; }
    // Every byte of the stream (a copy).
    std::string getBytes() const { return std::string(data, size); }
    // Moves the read position back to the start.
    void rewind() { position = 0; }

private:
    std::string owned;
    const char* data;
    size_t size;
    size_t position = 0;
    bool writable = false;
};

} // namespace Tessel
