#include "speaker/eq/CurveAxes.h"

#include <cmath>
#include <cstdio>

namespace Filtra
{

namespace
{
constexpr float kCoarse[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
constexpr float kFine[] = {20,   30,   40,   50,   60,   70,   80,    90,    100,  200,
                           300,  400,  500,  600,  700,  800,  900,   1000,  2000, 3000,
                           4000, 5000, 6000, 7000, 8000, 9000, 10000, 15000, 20000};
static_assert(sizeof(kFine) / sizeof(kFine[0]) == kMaxGridLines);

float safeLog2(float value)
{
    return std::log2(value > 1e-6f ? value : 1e-6f);
}
} // namespace

float CurveAxes::freqToX(float freq) const
{
    const float low = safeLog2(minFreq), high = safeLog2(maxFreq);
    return high != low ? (safeLog2(freq) - low) / (high - low) : 0.0f;
}

float CurveAxes::xToFreq(float x) const
{
    const float low = safeLog2(minFreq), high = safeLog2(maxFreq);
    return std::exp2(low + x * (high - low));
}

float CurveAxes::levelToY(float level) const
{
    return maxLevel != minLevel ? (level - minLevel) / (maxLevel - minLevel) : 0.0f;
}

float CurveAxes::yToLevel(float y) const
{
    return minLevel + y * (maxLevel - minLevel);
}

int CurveAxes::gridLines(bool fine, float* out, int capacity) const
{
    const float* list = fine ? kFine : kCoarse;
    const int size = fine ? int(std::size(kFine)) : int(std::size(kCoarse));
    int written = 0;
    for (int i = 0; i < size && written < capacity; ++i)
        if (list[i] >= minFreq && list[i] <= maxFreq)
            out[written++] = list[i];
    return written;
}

std::string gridLabel(float freq)
{
    const bool kilo = freq > 999.0f;
    const long rounded = std::lround(kilo ? freq / 1000.0f : freq);
    char text[32];
    std::snprintf(text, sizeof text, "%ld %s", rounded, kilo ? "kHz" : "Hz");
    return text;
}

} // namespace Filtra
