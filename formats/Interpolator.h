#pragma once

#include <cstdint>

namespace Core
{

// A curve: maps between a parameter's plain value and its normalised position 0..1 (the position
// of faders and knobs and the value that travels on the network). This base is the identity.
// A curve is set up once (setRange) and then only evaluated, so parameters with the same curve and
// range may share one; evaluating one never allocates.
class Interpolator
{
public:
    Interpolator() = default;
    virtual ~Interpolator();

    Interpolator(const Interpolator&) = delete;
    Interpolator& operator=(const Interpolator&) = delete;

    // The curve's shape parameter (mid value, exponent or similar, per curve).
    virtual float getCurveParam() const;

    // Sets the value range and the shape parameter (the component model's min, max and mid).
    // The base stores the three.
    virtual void setRange(float min, float max, float curveParam);

    // Changes the shape parameter and keeps the range (setRange with the current min and max).
    virtual void setCurveParam(float curveParam);

    // The plain value at position x; x is clamped to [0, 1] first. The base returns x.
    virtual float normalizedToValue(float x) const;

    // The position of value v; v is clamped to [min, max] first. The base returns v.
    virtual float valueToNormalized(float v) const;

    float getMin() const { return min_; }
    float getMax() const { return max_; }

protected:
    // x limited to [0, 1]; NaN gives 0.
    static float clampPosition(float x);
    // v limited to [min, max]; NaN gives min. Safe for an inverted range.
    float clampValue(float v) const;

    float min_ = 0.0f;
    float max_ = 1.0f;
    float curveParam_ = 1.0f;
    uint32_t reserved_ = 0; // unused, always 0
};

} // namespace Core
