#include "formats/BilinearInterpolator.h"

namespace Vellaris::Dsp
{

BilinearInterpolator::BilinearInterpolator()
{
    setRange(0.0f, 1.0f, 0.5f);
}

void BilinearInterpolator::setRange(float min, float max, float curveParam)
{
    min_ = min;
    max_ = max;
    curveParam_ = clampValue(curveParam);
    updateSlopes();
}

void BilinearInterpolator::setMidPosition(float position)
{
    position_ = clampPosition(position);
    updateSlopes();
}

void BilinearInterpolator::updateSlopes()
{
    float mid = curveParam_;
    lowSlope_ = position_ > 0.0f ? (mid - min_) / position_ : 1.0f;
    highSlope_ = position_ < 1.0f ? (max_ - mid) / (1.0f - position_) : 1.0f;
}

float BilinearInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    if (max_ < min_)
        return 0.0f;
    if (x < position_)
        return min_ + x * lowSlope_;
    return curveParam_ + (x - position_) * highSlope_;
}

float BilinearInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    if (max_ < min_)
        return 0.0f;
    float mid = curveParam_;
    if (v < mid)
        return (v - min_) / lowSlope_; // v < mid implies mid > min, so the slope is not 0
    // With the mid value at the maximum the upper line is flat: the maximum sits at the mid position.
    if (highSlope_ == 0.0f)
        return position_;
    return position_ + (v - mid) / highSlope_;
}

} // namespace Vellaris::Dsp
