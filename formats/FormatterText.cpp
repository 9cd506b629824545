#include "formats/FormatterText.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Core::FormatterText
{

void write(FormatterData& data, const char* text)
{
    if (!data.text || data.capacity <= 0)
        return;
    size_t length = std::strlen(text);
    size_t room = static_cast<size_t>(data.capacity) - 1;
    if (length > room)
        length = room;
    std::memcpy(data.text, text, length);
    data.text[length] = '\0';
}

void writeFormatted(FormatterData& data, const char* format, ...)
{
    char scratch[kScratchSize];
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(scratch, sizeof scratch, format, args);
    va_end(args);
    if (written < 0)
        scratch[0] = '\0';
    write(data, scratch);
}

const char* input(const FormatterData& data)
{
    return data.text ? data.text : "";
}

bool contains(const char* text, const char* needle)
{
    return std::strstr(text, needle) != nullptr;
}

bool equalsIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
    {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

bool readDouble(const char* text, double& out)
{
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || std::isnan(value))
        return false;
    out = value;
    return true;
}

bool readInt64(const char* text, int64_t& out)
{
    char* end = nullptr;
    int saved = errno;
    long long value = std::strtoll(text, &end, 10);
    errno = saved; // saturation on overflow is the wanted result, not an error
    if (end == text)
        return false;
    out = static_cast<int64_t>(value);
    return true;
}

int truncToInt(float value)
{
    if (std::isnan(value))
        return 0;
    // INT_MAX is not exactly representable as a float; compare against 2^31.
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}

bool scanNumber(FormatterData& data)
{
    double number = 0.0;
    if (!readDouble(input(data), number))
        return false;
    data.value = static_cast<float>(number);
    return true;
}

} // namespace Core::FormatterText
