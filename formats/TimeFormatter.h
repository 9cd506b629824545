#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Times in seconds ("time"): milliseconds below one second ("5.00 ms", "50.0 ms", "500 ms"),
// seconds from there ("1.50 s").
class TimeFormatter final : public Core::Formatter
{
public:
    TimeFormatter() : Formatter("time") {}

    void print(Core::FormatterData& data) const override;

    // Reads a number: with "ms" in the text it is milliseconds; a bare number below 10 is seconds;
    // 10 or more is seconds only with an "s" in the text, else milliseconds ("20" is 0.02 s).
    bool scan(Core::FormatterData& data) const override;
    // "ms" and "s".
    const char* const* typedUnits() const override;
};

} // namespace Vellaris::Dsp
