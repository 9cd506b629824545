#include "formats/FloatFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void FloatFormatter::print(Core::FormatterData& data) const
{
    if (unit_)
        writeFormatted(data, "%.2f %s", data.value, unit_);
    else
        writeFormatted(data, "%.2f", data.value);
}

bool FloatFormatter::scan(Core::FormatterData& data) const
{
    data.value = 0.0f;
    return scanNumber(data);
}

} // namespace Vellaris::Dsp
