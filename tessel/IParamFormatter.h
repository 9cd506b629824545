#pragma once

#include <optional>
#include <string>

#include "tessel/IUnknown.h"
#include "tessel/ParamTypes.h"

namespace Tessel
{

// Turns a parameter's plain value into text and back ("-3.0 dB").
class IParamFormatter : public virtual IUnknown
{
public:
    static constexpr UID kIID{0x7E55E100, 0x0011, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x11};

    // Text for the plain `value` of a parameter with the given range.
    virtual std::string print(double value, const ParamValueRange& range) const = 0;
    // Plain value read from `text`, or nothing when the text cannot be read.
    virtual std::optional<double> scan(const std::string& text, const ParamValueRange& range) const = 0;

    // Plain value read from a text the user typed into a field: stricter than scan (the whole text
    // must read, "6 dBx" does not), or nothing. Without a stricter reading of its own, scan.
    virtual std::optional<double> scanTyped(const std::string& text, const ParamValueRange& range) const
    {
        return scan(text, range);
    }
    // The value `steps` points of the unit's step grid away from `value` (positive: up), within the
    // range; `size` kShift is the grid's other step (Shift held). Nothing when the unit has no grid.
    virtual std::optional<double> stepOnGrid(double /*value*/, int /*steps*/, StepSize /*size*/,
                                             const ParamValueRange& /*range*/) const
    {
        return std::nullopt;
    }
};

} // namespace Tessel
