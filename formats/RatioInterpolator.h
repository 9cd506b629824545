#pragma once

#include "formats/Interpolator.h"

namespace Vellaris::Dsp
{

// "ratio": compression ratios, spread evenly in 1 - 1/ratio so that low ratios get most of the
// travel. Starts as 1:1 to 20:1. getCurveParam returns -1.
class RatioInterpolator final : public Core::Interpolator
{
public:
    RatioInterpolator();

    // min and max are ratios; curveParam is not used. A range that does not start above 0 or is
    // inverted maps everything to 0.
    void setRange(float min, float max, float curveParam) override;

    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;

private:
    bool usable_ = true;
    float m0_ = 0.0f;
    float m1_ = 0.0f;
    float maxRatio_ = 1.0f;
};

} // namespace Vellaris::Dsp
