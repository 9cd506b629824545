#pragma once

#include <vector>

#include "speaker/eq/FilterDesign.h"

namespace Filtra
{

// Responses below this magnitude ratio read as the floor.
constexpr float kMinimumRatio = 6.309573e-08f;
// The floor of every response, in dB.
constexpr float kFloorDb = -144.0f;

// The log-spaced frequencies at which responses are drawn: point i of `count` lies at
// minFreq · rⁱ with r = (maxFreq / minFreq)^(1/count), so the last point is one step below maxFreq.
// Besides the frequencies it keeps, per point, what the magnitude formula needs of them, so that a
// response over the grid costs a few multiplications per point. Memory is taken only when the grid
// changes (prepare), never while a response is evaluated.
class ResponseGrid
{
public:
    // Sets the grid up for `count` points (0 or less: an empty grid) between minFreq and maxFreq at
    // `sampleRate`; does nothing when it already is that grid.
    void prepare(float minFreq, float maxFreq, int count, float sampleRate = kDesignSampleRate);
    int getCount() const { return int(frequencies.size()); }
    float getMinFreq() const { return minFreq; }
    float getMaxFreq() const { return maxFreq; }
    float getSampleRate() const { return sampleRate; }
    // The frequency of point `index` in Hz.
    float getFrequency(int index) const { return frequencies[size_t(index)]; }
    // sin²(ω/2) of point `index`, ω = 2π·f/fs.
    float getPhi(int index) const { return phis[size_t(index)]; }
    const float* getPhis() const { return phis.data(); }

    // The ratio r of a grid.
    static float ratio(float minFreq, float maxFreq, int count);

private:
    std::vector<float> frequencies;
    std::vector<float> phis;
    float minFreq = 0, maxFreq = 0, sampleRate = 0;
};

// The magnitude of `section` at `freq` Hz in dB (20·log10 of the ratio, the floor below
// kMinimumRatio).
float magnitudeDb(const Biquad& section, float freq, float sampleRate = kDesignSampleRate);
// Fills out[0 … grid.getCount()) with the response of `sections` cascaded copies of `section` in
// dB over the grid (the floor applies per section). Allocates nothing.
void evaluateResponse(const Biquad& section, int sections, const ResponseGrid& grid, float* out);
// Same, adding the response to what `out` holds (for summed curves).
void accumulateResponse(const Biquad& section, int sections, const ResponseGrid& grid, float* out);

} // namespace Filtra
