#include "speaker/eq/BandResponse.h"

#include <algorithm>
#include <cmath>

namespace Filtra
{

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr float kMinimumRatioSquared = kMinimumRatio * kMinimumRatio;

// The squared magnitude of c0 + c1·z⁻¹ + c2·z⁻² written in φ = sin²(ω/2):
//     (c0 + c1 + c2)² − 4φ(c0·c1 + c1·c2 + 4·c0·c2) + 16φ²·c0·c2.
// Unlike the form in cos ω it does not lose the low frequencies, where cos ω differs from 1 only in
// the seventh digit. Its three terms still nearly cancel where a narrow band has its poles and
// zeros (a notch of Q 24 at 60 Hz leaves about 10⁻¹³ of terms near 10⁻⁵), which single precision
// cannot resolve: it read such a band as the floor. The polynomial is therefore summed in double
// precision, from the single-precision coefficients and grid; everything else stays single.
struct SquaredMagnitude
{
    double constant, linear, square;

    SquaredMagnitude(double c0, double c1, double c2)
    {
        const double sum = c0 + c1 + c2;
        constant = sum * sum;
        linear = -4.0 * (c0 * c1 + c1 * c2 + 4.0 * c0 * c2);
        square = 16.0 * c0 * c2;
    }
    double at(double phi) const { return constant + phi * (linear + phi * square); }
};

// Numerator and denominator polynomials of a section (the denominator is 1 − a1·z⁻¹ − a2·z⁻²).
struct SectionMagnitude
{
    SquaredMagnitude numerator;
    SquaredMagnitude denominator;

    explicit SectionMagnitude(const Biquad& s) : numerator(s.b0, s.b1, s.b2), denominator(1.0, -s.a1, -s.a2)
    {
    }

    float db(float phi, float sections) const
    {
        const double n = std::max(numerator.at(phi), 0.0);
        const double d = denominator.at(phi);
        // A ratio that cannot be told from zero, or a denominator that vanished through rounding,
        // reads as the floor rather than as a huge or undefined value.
        if (!(d > 0.0) || n < double(kMinimumRatioSquared) * d)
            return kFloorDb * sections;
        return 10.0f * std::log10(float(n / d)) * sections;
    }
};

float phiOf(double freq, double sampleRate)
{
    const double s = std::sin(kPi * freq / sampleRate);
    return float(s * s);
}
} // namespace

float ResponseGrid::ratio(float minFreq, float maxFreq, int count)
{
    if (count <= 0 || !(minFreq > 0.0f) || !(maxFreq > 0.0f))
        return 1.0f;
    return std::pow(maxFreq / minFreq, 1.0f / float(count));
}

void ResponseGrid::prepare(float newMin, float newMax, int count, float newSampleRate)
{
    count = std::max(count, 0);
    if (count == getCount() && newMin == minFreq && newMax == maxFreq && newSampleRate == sampleRate)
        return;
    minFreq = newMin;
    maxFreq = newMax;
    sampleRate = newSampleRate > 0 ? newSampleRate : kDesignSampleRate;
    frequencies.resize(size_t(count));
    phis.resize(size_t(count));
    const float r = ratio(minFreq, maxFreq, count);
    for (int i = 0; i < count; ++i)
    {
        // Each point from its own power, so the last ones carry no accumulated rounding.
        frequencies[size_t(i)] = minFreq * std::pow(r, float(i));
        phis[size_t(i)] = phiOf(frequencies[size_t(i)], sampleRate);
    }
}

float magnitudeDb(const Biquad& section, float freq, float sampleRate)
{
    return SectionMagnitude(section).db(phiOf(freq, sampleRate > 0 ? sampleRate : kDesignSampleRate), 1.0f);
}

void evaluateResponse(const Biquad& section, int sections, const ResponseGrid& grid, float* out)
{
    const SectionMagnitude magnitude(section);
    const float count = float(sections);
    const float* phis = grid.getPhis();
    for (int i = 0, n = grid.getCount(); i < n; ++i)
        out[i] = magnitude.db(phis[i], count);
}

void accumulateResponse(const Biquad& section, int sections, const ResponseGrid& grid, float* out)
{
    const SectionMagnitude magnitude(section);
    const float count = float(sections);
    const float* phis = grid.getPhis();
    for (int i = 0, n = grid.getCount(); i < n; ++i)
        out[i] += magnitude.db(phis[i], count);
}

} // namespace Filtra
