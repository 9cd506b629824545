#pragma once

#include "tessel/IUnknown.h"

namespace Tessel
{

// Maps between a parameter's plain value and its normalised position 0 to 1. A curve that needs
// a range knows it already (the model library sets it when it creates the curve).
class IParamCurve : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0010, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x10};

    // Plain value for normalised position `normalized` (0 to 1).
    virtual double normalizedToValue(double normalized) const = 0;
    // Normalised position (0 to 1) of the plain `value`.
    virtual double valueToNormalized(double value) const = 0;
};

} // namespace Tessel
