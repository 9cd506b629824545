#pragma once

#include "formats/Formatter.h"

#include <string>

// Prints value through formatter into a buffer of the given capacity and returns the text.
inline std::string printed(const Core::Formatter& formatter, float value, const float* range = nullptr,
                           int capacity = 64)
{
    char buffer[128] = "untouched";
    Core::FormatterData data;
    data.text = buffer;
    data.capacity = capacity;
    data.value = value;
    data.range = range;
    formatter.print(data);
    return buffer;
}

struct ScanResult
{
    bool ok;
    float value;
};

// Scans text through formatter, starting from the value `before`.
inline ScanResult scanned(const Core::Formatter& formatter, const char* text, float before = -777.0f)
{
    char buffer[128] = "";
    Core::FormatterData data;
    if (text)
    {
        std::string copy(text);
        copy.copy(buffer, sizeof buffer - 1);
        data.text = buffer;
        data.capacity = sizeof buffer;
    }
    data.value = before;
    bool ok = formatter.scan(data);
    return {ok, data.value};
}
