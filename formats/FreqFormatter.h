#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Frequencies in Hz ("freq"): "1.00 kHz" from 1000 up, "440.0 Hz" from 100, "99.50 Hz" below.
class FreqFormatter final : public Core::Formatter
{
public:
    FreqFormatter() : Formatter("freq") {}

    void print(Core::FormatterData& data) const override;

    // Reads a number; a "k" anywhere in the text multiplies it by 1000 ("2.5k" is 2500).
    bool scan(Core::FormatterData& data) const override;
    // "Hz", "kHz" and the bare "k".
    const char* const* typedUnits() const override;
};

} // namespace Vellaris::Dsp
