#include "formats/FaderCurve.h"

#include <cmath>

namespace Vellaris::Dsp
{

namespace
{

// The fader's top is +10 dB on the law; a gain of 1 is placed there.
constexpr double kTopGain = 3.1622;
constexpr double kInverseTopGain = 0.3162355348185223;
constexpr double kSilenceGain = 6.309573444802e-8; // 10^(-144/20)

} // namespace

double FaderCurve::positionToDb(double position, bool extended)
{
    double p = 100.0 - 100.0 * position; // percent of travel from the top
    if (p <= 0.0)
        return 10.0;
    if (p < 48.0)
        return 10.0 - p * 20.0 / 48.0;
    if (p < 84.0)
        return -10.0 - (p - 48.0) * 30.0 / 36.0;
    if (p < 96.0)
        return -40.0 - (p - 84.0) * 20.0 / 12.0;
    if (extended && p < 99.9)
        return -60.0 - (p - 96.0) * 21.53846153846154;
    if (!extended && p < 100.0)
        return -60.0 - (p - 96.0) * 35.0;
    return kSilenceDb;
}

double FaderCurve::dbToPosition(double db, bool extended)
{
    double p;
    if (db >= 10.0)
        p = 0.0;
    else if (db > -10.0)
        p = (10.0 - db) * 2.4;
    else if (db > -40.0)
        p = 48.0 - (db + 10.0) * 1.2;
    else if (db > -60.0)
        p = 84.0 - (db + 40.0) * 0.6;
    else if (db > kSilenceDb)
        p = 96.0 - (db + 60.0) * (extended ? 0.04642857142857143 : 0.02857142857142857);
    else
        p = 100.0;
    return (100.0 - p) * 0.01;
}

double FaderCurve::gainToPosition(double gain)
{
    double scaled = gain * kTopGain;
    if (!(scaled >= kSilenceGain)) // also catches NaN
        return dbToPosition(kSilenceDb, false);
    return dbToPosition(20.0 * std::log10(scaled), false);
}

double FaderCurve::positionToGain(double position)
{
    double db = positionToDb(position, false);
    if (db < kSilenceDb)
        return 0.0;
    return kInverseTopGain * std::pow(10.0, db / 20.0);
}

float FaderCurve::normalizedToValue(float x) const
{
    return static_cast<float>(positionToGain(clampPosition(x)));
}

float FaderCurve::valueToNormalized(float v) const
{
    return static_cast<float>(gainToPosition(v));
}

} // namespace Vellaris::Dsp
