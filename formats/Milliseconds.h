#pragma once

#include "formats/Formatter.h"

namespace Vellaris::LK::Format
{

// Delays in milliseconds ("ms"): "0.5 ms" below one millisecond (tenths, truncated), "12.3 ms"
// from there.
class Milliseconds final : public Core::Formatter
{
public:
    Milliseconds() : Formatter("ms") {}

    void print(Core::FormatterData& data) const override;

    // Reads a number of milliseconds, fraction included ("12.3 ms" is 12.3).
    bool scan(Core::FormatterData& data) const override;
    // "ms".
    const char* const* typedUnits() const override;
};

} // namespace Vellaris::LK::Format
