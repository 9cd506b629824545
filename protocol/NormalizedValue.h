#pragma once

// Mapping between a numeric parameter's plain value and the normalised value
// 0..1 that travels in packets and "Synchronize" messages.

namespace Core
{
class Interpolator;
}

namespace Vellaris::LK
{

// How a receiver treats the mapped-back value.
enum class ValueKind
{
    Toggle,  // any nonzero value becomes 1
    Integer, // whole numbers (integer and list parameters)
    Float,
};

// The normalised value of a plain value: through the curve when there is one,
// else (value - min) / (max - min); 0 when max equals min.
float toNormalized(float value, float min, float max, const Core::Interpolator* curve);

// The plain value of a normalised one, before any rounding: through the curve
// when there is one, else min + (max - min) * normalized.
float fromNormalized(float normalized, float min, float max, const Core::Interpolator* curve);

// A whole number from a value that went through a 32-bit normalised float:
// the nearest whole number when the value lies within 0.001 of it (single
// precision turns 13 into 12.999998 on the way), else the value with its
// fraction dropped.
float wholeFromNormalizedValue(float value);

// What a receiver stores for a normalised value: mapped back, made whole or
// toggled per kind, then clamped to [min, max].
float receiveNormalized(float normalized, float min, float max, const Core::Interpolator* curve,
                        ValueKind kind);

} // namespace Vellaris::LK
