#pragma once

#include "formats/ZoomInterpolator.h"

namespace Vellaris::Dsp
{

// "skew": a zoom curve whose exponent is chosen so that a given mid value sits at position 0.5
// (volume from -84 to +10 dB with -9 dB at the centre of the fader). Starts as 0.1 to 10 with
// mid 1.
class SkewInterpolator final : public Core::ZoomInterpolator
{
public:
    SkewInterpolator();

    // curveParam is the mid value; getCurveParam returns it. A mid value that does not lie
    // strictly inside the range cannot be placed at 0.5 and gives a straight line instead.
    void setRange(float min, float max, float curveParam) override;
};

} // namespace Vellaris::Dsp
