#pragma once

#include <cstdint>
#include <string>

namespace Tessel
{

// A 16-byte unique identifier. Its text form is braces around upper-case hex groups of
// 8, 4, 4, 4 and 12 digits: "{0123ABCD-0000-1111-2222-333344445555}".
struct UID
{
    uint8_t bytes[16] = {};

    constexpr UID() = default;
    // Builds an identifier from the usual groups (data1 is the first 8 digits, data4 the last 16).
    constexpr UID(uint32_t d1, uint16_t d2, uint16_t d3, uint8_t a, uint8_t b, uint8_t c, uint8_t d,
                  uint8_t e, uint8_t f, uint8_t g, uint8_t h)
        : bytes{uint8_t(d1 >> 24),
                uint8_t(d1 >> 16),
                uint8_t(d1 >> 8),
                uint8_t(d1),
                uint8_t(d2 >> 8),
                uint8_t(d2),
                uint8_t(d3 >> 8),
                uint8_t(d3),
                a,
                b,
                c,
                d,
                e,
                f,
                g,
                h}
    {
    }

    // True when every byte is zero.
    bool isNull() const;
    // Writes the braces text form with upper-case hex digits.
    std::string toString() const;
    // Reads the braces text form (hex digits of either case); returns false and leaves this
    // identifier unchanged when the text is not exactly that form.
    bool fromString(const std::string& text);
    // A new random identifier (version 4 layout).
    static UID generate();

    friend bool operator==(const UID& a, const UID& b);
    friend bool operator!=(const UID& a, const UID& b) { return !(a == b); }
    friend bool operator<(const UID& a, const UID& b);
};

} // namespace Tessel
