#include "model/formats/FloatFormatter.h"

#include "model/formats/FormatterText.h"

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
    double number = 0.0;
    if (!readDouble(input(data), number))
        return false;
    data.value = static_cast<float>(number);
    return true;
}

} // namespace Vellaris::Dsp
