#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Plain numbers with two decimals ("float"), optionally followed by a unit.
class FloatFormatter : public Core::Formatter
{
public:
    // unit may be null for none; name and unit must outlive the formatter (literals).
    explicit FloatFormatter(const char* name = "float", const char* unit = nullptr)
        : Formatter(name), unit_(unit), units_{unit, nullptr}
    {
    }

    void print(Core::FormatterData& data) const override;

    // Reads a number. Unlike the other formatters it sets the value to 0 when the text does not
    // parse (and returns false).
    bool scan(Core::FormatterData& data) const override;
    // The unit, if any.
    const char* const* typedUnits() const override { return unit_ ? units_ : nullptr; }

    const char* unit() const { return unit_; }

private:
    const char* unit_;
    const char* units_[2];
};

} // namespace Vellaris::Dsp
