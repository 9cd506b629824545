#include "formats/Interpolator.h"

namespace Core
{

Interpolator::~Interpolator() = default;

float Interpolator::getCurveParam() const
{
    return curveParam_;
}

void Interpolator::setRange(float min, float max, float curveParam)
{
    min_ = min;
    max_ = max;
    curveParam_ = curveParam;
}

void Interpolator::setCurveParam(float curveParam)
{
    setRange(min_, max_, curveParam);
}

float Interpolator::normalizedToValue(float x) const
{
    return x;
}

float Interpolator::valueToNormalized(float v) const
{
    return v;
}

float Interpolator::clampPosition(float x)
{
    if (!(x >= 0.0f)) // also catches NaN
        return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

float Interpolator::clampValue(float v) const
{
    if (!(v >= min_))
        return min_;
    return v > max_ ? max_ : v;
}

} // namespace Core
