#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Levels in dB ("gain"): "-6.00 dB". Reads a plain number.
class GainFormatter final : public Core::Formatter
{
public:
    GainFormatter() : Formatter("gain") {}

    void print(Core::FormatterData& data) const override;
    bool scan(Core::FormatterData& data) const override;
    // "dB".
    const char* const* typedUnits() const override;
};

} // namespace Vellaris::Dsp
