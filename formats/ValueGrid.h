#pragma once

namespace Vellaris::Dsp
{

// The steps a control moves a value by, one grid per unit, so that stepped and dragged values land
// on numbers an engineer would pick ("6.5 dB", "265.0 Hz", "1.4") instead of wherever a normalised
// step happens to fall:
// - gain: 0.5 dB, or 0.1 dB with Shift;
// - frequency: 1/12 octave on the preferred-number series R40 (1.00, 1.06, 1.12, 1.18, 1.25 …
//   per decade), whose every fourth value is the ISO 1/3-octave series (20, 25, 31.5, 40 … 20k);
// - delay in milliseconds: 0.1 ms, or 1 ms with Shift;
// - time in seconds: 10 ms, or 1 ms with Shift;
// - Q: 0.25, 0.35, 0.5, 0.71, 1, 1.4, 2, 2.8, 4, 5.6, 8, 11, 16, 22, 32.
// Every grid is cut to the parameter's range, whose ends are points of it too.
enum class ValueGrid
{
    kNone,
    kGain,
    kFrequency,
    kDelay,
    kTime,
    kQ,
};

// Which size of a grid's step: the other one is what Shift gives (finer for gain and time, coarser
// for delay); frequency and Q have one size.
enum class StepSize
{
    kNormal,
    kShift,
};

// The grid of a formatter name: "gain", "freq", "ms" (delay), "time", "q"; a ranged name such as
// "gain/-inf/~" by its base. kNone for any other name or null.
ValueGrid gridForFormatter(const char* name);

// The value `steps` grid points away from `value` (positive: up), within [minimum, maximum]. A value
// between two points goes to the next point in the direction first: 6.26 dB one step up is 6.5 dB,
// 257.2 Hz one step up is 265 Hz. kNone returns the value as it is.
double stepOnGrid(ValueGrid grid, double value, int steps, StepSize size, double minimum, double maximum);

// The grid point nearest to `value` (on a logarithmic scale for frequency and Q), within
// [minimum, maximum]. For a drag that should land on clean values.
double snapToGrid(ValueGrid grid, double value, StepSize size, double minimum, double maximum);

} // namespace Vellaris::Dsp
