#pragma once

#include "formats/Interpolator.h"

namespace Vellaris::Dsp
{

// "bilinear": two straight lines meeting at a chosen point: the mid value sits at the mid
// position (0.5 unless changed). Starts as 0 to 1 with mid 0.5.
class BilinearInterpolator final : public Core::Interpolator
{
public:
    BilinearInterpolator();

    // curveParam is the mid value, clamped into [min, max]; getCurveParam returns the clamped
    // value. An inverted range maps everything to 0.
    void setRange(float min, float max, float curveParam) override;

    // Moves the position of the mid value (clamped into [0, 1]) and keeps range and mid value.
    void setMidPosition(float position);
    float midPosition() const { return position_; }

    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;

private:
    void updateSlopes();

    float position_ = 0.5f;
    float lowSlope_ = 1.0f;
    float highSlope_ = 1.0f;
};

} // namespace Vellaris::Dsp
