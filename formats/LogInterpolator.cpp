#include "formats/LogInterpolator.h"

#include <cmath>

namespace Core
{

bool LogInterpolator::usable() const
{
    return max_ - min_ > 0.0f && min_ > 0.0f && max_ > 0.0f;
}

float LogInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    if (!usable())
        return 0.0f;
    float a = std::log2(min_);
    float b = std::log2(max_);
    // The power in double precision keeps the ends exact enough at wide ranges.
    return static_cast<float>(std::pow(2.0, static_cast<double>(a + x * (b - a))));
}

float LogInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    if (!usable())
        return 0.0f;
    float a = std::log2(min_);
    float b = std::log2(max_);
    return (std::log2(v) - a) / (b - a);
}

} // namespace Core
