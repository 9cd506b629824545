#include "formats/ZoomInterpolator.h"

#include <cmath>

namespace Core
{

void ZoomInterpolator::setRange(float min, float max, float curveParam)
{
    setZoom(min, max, curveParam);
    curveParam_ = curveParam;
}

void ZoomInterpolator::setZoom(float min, float max, float exponent)
{
    min_ = min;
    max_ = max;
    if (!(exponent > 0.0f) || !std::isfinite(exponent))
        exponent = 1.0f;
    exponent_ = exponent;
    inverseExponent_ = 1.0f / exponent;
}

float ZoomInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    float range = max_ - min_;
    if (range <= 0.0f)
        return 0.0f;
    return min_ + range * std::pow(x, inverseExponent_);
}

float ZoomInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    float range = max_ - min_;
    if (range <= 0.0f)
        return 0.0f;
    return std::pow((v - min_) / range, exponent_);
}

} // namespace Core
