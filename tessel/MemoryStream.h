#pragma once

#include <string>

#include "tessel/IStream.h"
#include "tessel/Unknown.h"

namespace Tessel
{

// A stream over bytes in memory: borrowed (an embedded resource) or owned (a copy).
class MemoryStream : public Unknown, public IStream
{
public:
    // Reads `size` bytes at `data` without copying; they must outlive the stream.
    MemoryStream(const void* data, size_t size);
    // Reads its own copy of `bytes`.
    explicit MemoryStream(std::string bytes);

    void* queryInterface(const UID& iid) override;
    int64_t read(void* buffer, int64_t size) override;
    int64_t getSize() const override { return int64_t(size); }

private:
    std::string owned;
    const char* data;
    size_t size;
    size_t position = 0;
};

} // namespace Tessel
