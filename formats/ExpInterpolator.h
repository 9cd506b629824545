#pragma once

#include "formats/Interpolator.h"

namespace Vellaris::Dsp
{

// "exp": an exponential curve A * e^(k x) + B through min at 0, the mid value at 0.5 and max at 1
// (meters). Starts with the coefficients of min 0, max 1, mid 0.1.
class ExpInterpolator final : public Core::Interpolator
{
public:
    ExpInterpolator();

    // curveParam is the mid value. New coefficients are worked out only when min < mid < max and
    // the mid value is not the arithmetic centre; otherwise min, max and mid are stored and the
    // coefficients stay as they were.
    void setRange(float min, float max, float curveParam) override;

    float normalizedToValue(float x) const override;

    // Positions the coefficients cannot reach (possible only with kept coefficients and a range
    // they were not made for) give 0.
    float valueToNormalized(float v) const override;

private:
    float a_ = 1.0f;
    float b_ = 0.0f;
    float k_ = 1.0f;
};

} // namespace Vellaris::Dsp
