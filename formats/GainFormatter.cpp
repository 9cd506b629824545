#include "formats/GainFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void GainFormatter::print(Core::FormatterData& data) const
{
    writeFormatted(data, "%.02f dB", data.value);
}

bool GainFormatter::scan(Core::FormatterData& data) const
{
    return scanNumber(data);
}

const char* const* GainFormatter::typedUnits() const
{
    static const char* const units[] = {"dB", nullptr};
    return units;
}

} // namespace Vellaris::Dsp
