#include "formats/RatioFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void RatioFormatter::print(Core::FormatterData& data) const
{
    writeFormatted(data, "%2.1f:1", data.value);
}

bool RatioFormatter::scan(Core::FormatterData& data) const
{
    return scanNumber(data);
}

const char* const* RatioFormatter::typedUnits() const
{
    static const char* const units[] = {":1", nullptr};
    return units;
}

} // namespace Vellaris::Dsp
