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
    explicit IntFormatter(const char* name = "int", const char* unit = nullptr) : Formatter(name), unit_(unit)
    {
    }

    void print(Core::FormatterData& data) const override;

    // Reads a decimal integer (a fraction after it is ignored).
    bool scan(Core::FormatterData& data) const override;

    const char* unit() const { return unit_; }

private:
    const char* unit_;
};

} // namespace Vellaris::Dsp
