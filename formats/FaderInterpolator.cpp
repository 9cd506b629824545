#include "formats/FaderInterpolator.h"

namespace Vellaris::Dsp
{

namespace
{

constexpr Core::SegmentInterpolator::Point kFaderTable[] = {
    {0.0f, -84.0f}, {0.004f, -60.0f}, {0.09f, -40.0f}, {0.47f, -10.0f}, {1.0f, 10.0f},
};

} // namespace

FaderInterpolator::FaderInterpolator()
    : SegmentInterpolator(kFaderTable, static_cast<int>(sizeof kFaderTable / sizeof kFaderTable[0]))
{
}

} // namespace Vellaris::Dsp
