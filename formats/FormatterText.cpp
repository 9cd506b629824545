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

bool normaliseTyped(const char* text, char* out, size_t size)
{
    if (size == 0)
        return false;
    while (*text == ' ' || *text == '\t')
        ++text;
    size_t length = 0;
    int commas = 0;
    bool point = false;
    for (const char* c = text; *c; ++c)
    {
        if (std::strncmp(c, "\xE2\x88\x92", 3) == 0) // U+2212 MINUS SIGN
        {
            c += 2;
            if (length + 1 >= size)
                return false;
            out[length++] = '-';
            continue;
        }
        commas += *c == ',';
        point = point || *c == '.';
        if (length + 1 >= size)
            return false;
        out[length++] = *c;
    }
    while (length > 0 && (out[length - 1] == ' ' || out[length - 1] == '\t'))
        --length;
    out[length] = '\0';
    if (commas == 1 && !point)
        *std::strchr(out, ',') = '.';
    return true;
}

bool isNumberWithUnit(const char* text, const char* const* units)
{
    const char* c = text;
    if (*c == '+' || *c == '-')
        ++c;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*c)))
        ++c, ++digits;
    if (*c == '.')
    {
        ++c;
        while (std::isdigit(static_cast<unsigned char>(*c)))
            ++c, ++digits;
    }
    if (digits == 0)
        return false;
    if ((*c == 'e' || *c == 'E') &&
        (std::isdigit(static_cast<unsigned char>(c[1])) ||
         ((c[1] == '+' || c[1] == '-') && std::isdigit(static_cast<unsigned char>(c[2])))))
    {
        c += 2;
        while (std::isdigit(static_cast<unsigned char>(*c)))
            ++c;
    }
    while (*c == ' ' || *c == '\t')
        ++c;
    if (*c == '\0')
        return true;
    for (const char* const* unit = units; unit && *unit; ++unit)
        if (equalsIgnoringCase(c, *unit))
            return true;
    return false;
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
