#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Compression ratios ("ratio"): "4.0:1". Reads a plain number.
class RatioFormatter final : public Core::Formatter
{
public:
    RatioFormatter() : Formatter("ratio") {}

    void print(Core::FormatterData& data) const override;
    bool scan(Core::FormatterData& data) const override;
    // ":1".
    const char* const* typedUnits() const override;
};

} // namespace Vellaris::Dsp
