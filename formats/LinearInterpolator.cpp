#include "formats/LinearInterpolator.h"

namespace Core
{

float LinearInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    float range = max_ - min_;
    if (range <= 0.0f)
        return 0.0f;
    return min_ + x * range;
}

float LinearInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    float range = max_ - min_;
    if (range <= 0.0f)
        return 0.0f;
    return (v - min_) / range;
}

} // namespace Core
