#include "formats/SkewInterpolator.h"

#include <cmath>

namespace Vellaris::Dsp
{

SkewInterpolator::SkewInterpolator()
{
    setRange(0.1f, 10.0f, 1.0f);
}

void SkewInterpolator::setRange(float min, float max, float curveParam)
{
    float share = (curveParam - min) / (max - min);
    float exponent = 1.0f;
    if (share > 0.0f && share < 1.0f)
        exponent = std::log(0.5f) / std::log(share);
    setZoom(min, max, exponent);
    curveParam_ = curveParam;
}

} // namespace Vellaris::Dsp
