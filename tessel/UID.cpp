#include "tessel/UID.h"

#include <cstring>
#include <random>

namespace Tessel
{

namespace
{
// Positions of the dashes in the braces form and the byte each hex pair fills.
constexpr int kTextLength = 38;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isDashPosition(int i)
{
    return i == 9 || i == 14 || i == 19 || i == 24;
}
} // namespace

bool UID::isNull() const
{
    for (uint8_t b : bytes)
        if (b)
            return false;
    return true;
}

std::string UID::toString() const
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "{";
    for (int i = 0; i < 16; ++i)
    {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    text += '}';
    return text;
}

bool UID::fromString(const std::string& text)
{
    if (text.size() != size_t(kTextLength) || text.front() != '{' || text.back() != '}')
        return false;
    uint8_t result[16];
    int byte = 0;
    for (int i = 1; i < kTextLength - 1;)
    {
        if (isDashPosition(i))
        {
            if (text[size_t(i)] != '-')
                return false;
            ++i;
            continue;
        }
        int high = hexValue(text[size_t(i)]);
        int low = hexValue(text[size_t(i) + 1]);
        if (high < 0 || low < 0 || isDashPosition(i + 1))
            return false;
        result[byte++] = uint8_t(high << 4 | low);
        i += 2;
    }
    if (byte != 16)
        return false;
    std::memcpy(bytes, result, sizeof bytes);
    return true;
}

UID UID::generate()
{
    static thread_local std::mt19937_64 engine{std::random_device{}()};
    UID uid;
    uint64_t a = engine();
    uint64_t b = engine();
    std::memcpy(uid.bytes, &a, 8);
    std::memcpy(uid.bytes + 8, &b, 8);
    uid.bytes[6] = uint8_t((uid.bytes[6] & 0x0F) | 0x40);
    uid.bytes[8] = uint8_t((uid.bytes[8] & 0x3F) | 0x80);
    return uid;
}

bool operator==(const UID& a, const UID& b)
{
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

bool operator<(const UID& a, const UID& b)
{
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) < 0;
}

} // namespace Tessel
