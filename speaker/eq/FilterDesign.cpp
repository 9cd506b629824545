#include "speaker/eq/FilterDesign.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace Filtra
{

namespace
{
constexpr double kPi = 3.14159265358979323846;

// Keeps a design inside the range where its formulas hold: tan() explodes at Nyquist and a Q of
// zero divides by zero. A band can hold such values only through a corrupt model or file.
void clampInputs(double& freq, double& q, double sampleRate)
{
    const double nyquist = sampleRate * 0.5;
    if (!(freq > 1.0)) // also catches NaN
        freq = 1.0;
    freq = std::min(freq, nyquist * 0.999);
    if (!(q > 0.01))
        q = 0.01;
}

Biquad lowCut(double k, double q)
{
    const double d = 1 + k / q + k * k;
    return {float(1 / d), float(-2 / d), float(1 / d), float(2 * (1 - k * k) / d),
            float((k / q - 1 - k * k) / d)};
}

Biquad peaking(double k, double gainDb, double q)
{
    const double v = std::pow(10.0, gainDb / 20.0);
    const double s = std::sqrt(v);
    const double p = s * k / q;
    const double r = k / (s * q);
    const double d = 1 + r + k * k;
    return {float((1 + p + k * k) / d), float(2 * (k * k - 1) / d), float((1 - p + k * k) / d),
            float(2 * (1 - k * k) / d), float((r - 1 - k * k) / d)};
}

Biquad shelf(bool low, double w, double gainDb, double q)
{
    const double c = std::cos(w);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double beta = std::sin(w) * std::sqrt(a) / q;
    if (low)
    {
        const double a0 = (a + 1) + (a - 1) * c + beta;
        return {float(a * ((a + 1) - (a - 1) * c + beta) / a0), float(2 * a * ((a - 1) - (a + 1) * c) / a0),
                float(a * ((a + 1) - (a - 1) * c - beta) / a0), float(2 * ((a - 1) + (a + 1) * c) / a0),
                float(-((a + 1) + (a - 1) * c - beta) / a0)};
    }
    const double a0 = (a + 1) - (a - 1) * c + beta;
    return {float(a * ((a + 1) + (a - 1) * c + beta) / a0), float(-2 * a * ((a - 1) + (a + 1) * c) / a0),
            float(a * ((a + 1) + (a - 1) * c - beta) / a0), float(-2 * ((a - 1) - (a + 1) * c) / a0),
            float(-((a + 1) - (a - 1) * c - beta) / a0)};
}
} // namespace

int32_t filterKindFromName(const std::string& name)
{
    struct Row
    {
        const char* name;
        int32_t kind;
    };
    static const Row rows[] = {{"LowShelf", FilterKind::kLowShelf},
                               {"HighShelf", FilterKind::kHighShelf},
                               {"LowCut", FilterKind::kLowCut},
                               {"Peaking", FilterKind::kPeaking}};
    for (const Row& row : rows)
        if (strcasecmp(name.c_str(), row.name) == 0)
            return row.kind;
    return FilterKind::kLowShelf;
}

int sectionCount(int32_t kind)
{
    (void)kind;
    return 1;
}

Biquad designBiquad(int32_t kind, float freq, float gainDb, float q, float sampleRate)
{
    // The design runs in double: it is done once per band and redraw, and the coefficients of
    // low bands differ from 1 and 2 only in the sixth digit.
    double f = freq, quality = q;
    const double fs = sampleRate > 0 ? sampleRate : kDesignSampleRate;
    clampInputs(f, quality, fs);
    const double gain = std::isfinite(gainDb) ? std::clamp(double(gainDb), -200.0, 200.0) : 0.0;
    switch (kind)
    {
    case FilterKind::kLowCut:
        return lowCut(std::tan(kPi * f / fs), quality);
    case FilterKind::kPeaking:
        return peaking(std::tan(kPi * f / fs), gain, quality);
    case FilterKind::kLowShelf:
        return shelf(true, 2 * kPi * f / fs, gain, quality);
    case FilterKind::kHighShelf:
        return shelf(false, 2 * kPi * f / fs, gain, quality);
    default:
        return {};
    }
}

} // namespace Filtra
