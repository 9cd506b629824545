#pragma once

#include "formats/Interpolator.h"

namespace Core
{

// "zoom": a power curve over [min, max]. Position x gives min + range * x^(1/e), so an exponent
// above 1 spreads the top of the range over more travel. An empty or inverted range maps
// everything to 0.
class ZoomInterpolator : public Interpolator
{
public:
    ZoomInterpolator() = default;

    // curveParam is the exponent e. An exponent that is not a positive finite number would send
    // positions to infinity or NaN; the curve then behaves as e = 1.
    void setRange(float min, float max, float curveParam) override;

    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;

    float exponent() const { return exponent_; }

protected:
    // Sets range and exponent without touching curveParam_ (derived curves keep their own meaning
    // there).
    void setZoom(float min, float max, float exponent);

private:
    float exponent_ = 1.0f;
    float inverseExponent_ = 1.0f;
};

} // namespace Core
