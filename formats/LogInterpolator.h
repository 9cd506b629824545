#pragma once

#include "formats/Interpolator.h"

namespace Core
{

// "log": equal ratios take equal travel (frequencies), so the geometric mean of min and max sits
// at 0.5. A range that is empty, inverted or not wholly above 0 maps everything to 0.
class LogInterpolator final : public Interpolator
{
public:
    float normalizedToValue(float x) const override;
    float valueToNormalized(float v) const override;

private:
    bool usable() const;
};

} // namespace Core
