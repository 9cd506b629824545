#pragma once

#include <cstdint>
#include <string>

namespace Filtra
{

// Filter kinds of an equaliser band (the numbers the band layouts and the editor use).
namespace FilterKind
{
constexpr int32_t kLowCut = 3;    // second-order high-pass
constexpr int32_t kPeaking = 6;   // bell around the frequency
constexpr int32_t kLowShelf = 8;  // shelf below the frequency
constexpr int32_t kHighShelf = 9; // shelf above the frequency
} // namespace FilterKind

// Sample rate at which band responses are designed and evaluated, in Hz.
constexpr float kDesignSampleRate = 88200.0f;

// One second-order section y[n] = b0·x[n] + b1·x[n−1] + b2·x[n−2] + a1·y[n−1] + a2·y[n−2]; the
// feedback coefficients are stored with that sign. The default section passes the signal unchanged.
struct Biquad
{
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The filter kind a band layout names ("LowCut", "LowShelf", "HighShelf", "Peaking", compared
// ignoring case); any other name is a low shelf.
int32_t filterKindFromName(const std::string& name);
// How many sections a kind cascades (its response in dB is that many times the section's): 1 for
// the four kinds above and for kinds the designer does not know.
int sectionCount(int32_t kind);
// Designs the section of `kind` at `freq` Hz with `gainDb` and `q` for `sampleRate`. Frequencies are
// kept inside (0, Nyquist) and Q above zero, so any input gives a stable section; a kind the
// designer does not know gives the pass-through section.
Biquad designBiquad(int32_t kind, float freq, float gainDb, float q, float sampleRate = kDesignSampleRate);

} // namespace Filtra
