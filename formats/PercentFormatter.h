#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Fractions 0..1 shown as percent ("percent", "percent.1", "percent.2"): the value is rounded to
// a tenth of a percent, then printed with 0, 1 or 2 decimals ("50 %", "12.3 %").
class PercentFormatter final : public Core::Formatter
{
public:
    // decimals is 0, 1 or 2 (others are taken as the nearest of these). name must outlive the
    // formatter (a literal).
    PercentFormatter(const char* name, int decimals);

    void print(Core::FormatterData& data) const override;

    // Reads a number of percent: "50" is 0.5.
    bool scan(Core::FormatterData& data) const override;
    // "%".
    const char* const* typedUnits() const override;

    int decimals() const { return decimals_; }

private:
    int decimals_;
};

} // namespace Vellaris::Dsp
