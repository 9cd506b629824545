#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Stereo position 0..1 with the centre at 0.5 ("pan"): "< C >", "L 25", "R 50". Cannot scan.
class PanFormatter final : public Core::Formatter
{
public:
    PanFormatter() : Formatter("pan") {}

    void print(Core::FormatterData& data) const override;
};

} // namespace Vellaris::Dsp
