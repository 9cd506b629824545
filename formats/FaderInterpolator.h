#pragma once

#include "formats/SegmentInterpolator.h"

namespace Vellaris::Dsp
{

// "fader": a segment curve for faders in dB, from -84 dB at the bottom through -60, -40 and
// -10 dB to +10 dB at the top.
class FaderInterpolator final : public Core::SegmentInterpolator
{
public:
    FaderInterpolator();
};

} // namespace Vellaris::Dsp
