#pragma once

#include "formats/Interpolator.h"

namespace Core
{

// "linear": positions spread evenly over [min, max]. An empty or inverted range maps everything
// to 0.
class LinearInterpolator final : public Interpolator
{
public:
    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;
};

} // namespace Core
