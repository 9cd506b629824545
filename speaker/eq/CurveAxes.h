#pragma once

#include <string>

namespace Filtra
{

// The axes of a response-curve display: frequency on a log scale from minFreq (left, 0) to maxFreq
// (right, 1), level linear from minLevel (bottom, 0) to maxLevel (top, 1). Positions outside 0 … 1
// are allowed (a value beyond the range); conversions back clamp nothing either.
struct CurveAxes
{
    float minFreq = 20.0f;
    float maxFreq = 20000.0f;
    float minLevel = -96.0f;
    float maxLevel = 0.0f;

    float freqToX(float freq) const;
    float xToFreq(float x) const;
    float levelToY(float level) const;
    float yToLevel(float y) const;

    // The frequencies of the grid lines inside the range (ends included), from the coarse list
    // (20, 50, 100, 200, 500 … 20000 Hz) or the fine one (20 … 90, 100 … 900, 1000 … 10000 in
    // decade steps, 15000, 20000 Hz). Writes at most `capacity` values; returns how many.
    int gridLines(bool fine, float* out, int capacity) const;
};

// The most grid lines either list can give.
constexpr int kMaxGridLines = 29;

// The label of a grid line: the frequency rounded to a whole number, above 999 first divided by
// 1000 and followed by " kHz", else by " Hz" ("20 Hz", "500 Hz", "2 kHz", "15 kHz").
std::string gridLabel(float freq);

} // namespace Filtra
