#pragma once

#include <cstdint>
#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

// A readable byte stream (a file or an embedded resource).
class IStream : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0031, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x31};

    // Reads up to `size` bytes into `buffer`; returns the count read (0 at the end), -1 on error.
    virtual int64_t read(void* buffer, int64_t size) = 0;
    // The total size in bytes, or -1 when unknown.
    virtual int64_t getSize() const = 0;

    // Reads everything that is left into `bytes`; returns false on a read error.
    bool readAll(std::string& bytes);
};

} // namespace Tessel
