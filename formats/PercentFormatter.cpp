#include "formats/PercentFormatter.h"

#include "formats/FormatterText.h"

#include <cmath>

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

PercentFormatter::PercentFormatter(const char* name, int decimals)
    : Formatter(name), decimals_(decimals < 0   ? 0
                                 : decimals > 2 ? 2
                                                : decimals)
{
}

void PercentFormatter::print(Core::FormatterData& data) const
{
    float tenths = data.value * 1000.0f;
    tenths = std::trunc(data.value < 0.0f ? tenths - 0.5f : tenths + 0.5f);
    float percent = tenths * 0.1f;
    switch (decimals_)
    {
    case 0:
        writeFormatted(data, "%.0f %%", percent);
        break;
    case 1:
        writeFormatted(data, "%.1f %%", percent);
        break;
    default:
        writeFormatted(data, "%.2f %%", percent);
        break;
    }
}

bool PercentFormatter::scan(Core::FormatterData& data) const
{
    double number = 0.0;
    if (!readDouble(input(data), number))
        return false;
    data.value = static_cast<float>(number * 0.01);
    return true;
}

const char* const* PercentFormatter::typedUnits() const
{
    static const char* const units[] = {"%", nullptr};
    return units;
}

} // namespace Vellaris::Dsp
