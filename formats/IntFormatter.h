#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Whole numbers ("int"), optionally followed by a unit ("17 C"). The value is truncated toward
// zero for display.
class IntFormatter : public Core::Formatter
{
public:
    // unit may be null for none; name and unit must outlive the formatter (literals).
    explicit IntFormatter(const char* name = "int", const char* unit = nullptr);

    void print(Core::FormatterData& data) const override;

    // Reads a decimal integer (a fraction after it is ignored).
    bool scan(Core::FormatterData& data) const override;
    // The unit; a unit with the degree sign ("°C") also without it ("C").
    const char* const* typedUnits() const override { return units_; }

    const char* unit() const { return unit_; }

private:
    const char* unit_;
    const char* units_[3] = {};
};

} // namespace Vellaris::Dsp
