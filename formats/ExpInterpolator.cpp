#include "formats/ExpInterpolator.h"

#include <cmath>

namespace Vellaris::Dsp
{

ExpInterpolator::ExpInterpolator()
{
    setRange(0.0f, 1.0f, 0.1f);
}

void ExpInterpolator::setRange(float min, float max, float curveParam)
{
    min_ = min;
    max_ = max;
    curveParam_ = curveParam;
    float range = max - min;
    float below = curveParam - min;
    float above = max - curveParam;
    if (range > 0.0f && below > 0.0f && above > 0.0f && above != below)
    {
        float q = (above * above) / (below * below);
        a_ = range / (q - 1.0f);
        k_ = std::log(q);
        b_ = min - a_;
    }
}

float ExpInterpolator::normalizedToValue(float x) const
{
    x = clampPosition(x);
    return a_ * std::exp(k_ * x) + b_;
}

float ExpInterpolator::valueToNormalized(float v) const
{
    v = clampValue(v);
    float ratio = (v - b_) / a_;
    if (!(ratio > 0.0f))
        return 0.0f;
    return std::log(ratio) / k_;
}

} // namespace Vellaris::Dsp
