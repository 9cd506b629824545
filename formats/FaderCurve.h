#pragma once

#include "formats/Interpolator.h"

namespace Vellaris::Dsp
{

// The closed-form fader law, in double precision: +10 dB at the top, 0 dB at about 80 % of the
// travel, -10 dB at 52 %, -40 dB at 16 %, -60 dB at 4 %, then down to -144 dB (silence) near the
// bottom. The extended law gives the last stretch more travel (for the equaliser display).
//
// As a curve, FaderCurve maps a position to a linear gain and back, using the plain law; a gain
// of 1 sits at the top (+10 dB on the law).
class FaderCurve final : public Core::Interpolator
{
public:
    // The level the law gives at or below the bottom of its travel.
    static constexpr double kSilenceDb = -144.0;

    // dB at position (0 bottom, 1 top).
    static double positionToDb(double position, bool extended);

    // Position (0..1) of a level in dB; levels at or below -144 dB give 0, +10 dB and above give 1.
    static double dbToPosition(double db, bool extended);

    // Position of a linear gain; gains too small to reach -144 dB (0 and negative ones included)
    // give the bottom.
    static double gainToPosition(double gain);

    // Linear gain at position; 0 where the law falls below -144 dB.
    static double positionToGain(double position);

    // Position (clamped to [0, 1]) to linear gain.
    float normalizedToValue(float x) const override;

    // Linear gain to position.
    float valueToNormalized(float v) const override;
};

} // namespace Vellaris::Dsp
