#include "protocol/NormalizedValue.h"

#include "formats/Interpolator.h"

#include <cmath>

namespace Vellaris::LK
{

namespace
{
constexpr float kWholeTolerance = 0.001f;
}

float toNormalized(float value, float min, float max, const Core::Interpolator* curve)
{
    if (curve)
        return curve->valueToNormalized(value);
    if (max == min)
        return 0.0f;
    return (value - min) / (max - min);
}

float fromNormalized(float normalized, float min, float max, const Core::Interpolator* curve)
{
    if (curve)
        return curve->normalizedToValue(normalized);
    return min + (max - min) * normalized;
}

float wholeFromNormalizedValue(float value)
{
    if (!std::isfinite(value))
        return 0.0f;
    const float nearest = std::round(value);
    if (std::fabs(value - nearest) <= kWholeTolerance)
        return nearest;
    return std::trunc(value);
}

float receiveNormalized(float normalized, float min, float max, const Core::Interpolator* curve,
                        ValueKind kind)
{
    if (!std::isfinite(normalized))
        normalized = 0.0f;
    float value = fromNormalized(normalized, min, max, curve);
    if (kind == ValueKind::Integer)
        value = wholeFromNormalizedValue(value);
    const float low = min < max ? min : max;
    const float high = min < max ? max : min;
    if (value < low)
        value = low;
    if (value > high)
        value = high;
    if (kind == ValueKind::Toggle)
        value = value != 0.0f ? 1.0f : 0.0f;
    return value;
}

} // namespace Vellaris::LK
