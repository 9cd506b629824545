#include "formats/RatioInterpolator.h"

namespace Vellaris::Dsp
{

RatioInterpolator::RatioInterpolator()
{
    setRange(1.0f, 20.0f, -1.0f);
}

void RatioInterpolator::setRange(float min, float max, float)
{
    min_ = min;
    max_ = max;
    curveParam_ = -1.0f;
    maxRatio_ = max;
    // 1 - 1/ratio is only meaningful for positive ratios; it would be infinite at 0.
    usable_ = min > 0.0f && max >= min;
    m0_ = usable_ ? 1.0f - 1.0f / min : 0.0f;
    m1_ = usable_ ? 1.0f - 1.0f / max : 0.0f;
}

float RatioInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    if (!usable_)
        return 0.0f;
    float y = m0_ + x * (m1_ - m0_);
    if (y < 1.0f)
        return 1.0f / (1.0f - y);
    return maxRatio_;
}

float RatioInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    if (!usable_ || m1_ <= m0_) // a single ratio has no travel
        return 0.0f;
    float y = v > 0.0f ? 1.0f - 1.0f / v : 0.0f;
    if (y < m0_)
        return 0.0f;
    float position = (y - m0_) / (m1_ - m0_);
    return position > 1.0f ? 1.0f : position;
}

} // namespace Vellaris::Dsp
