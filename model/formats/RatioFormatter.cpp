#include "model/formats/RatioFormatter.h"

#include "model/formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void RatioFormatter::print(Core::FormatterData& data) const
{
    writeFormatted(data, "%2.1f:1", data.value);
}

bool RatioFormatter::scan(Core::FormatterData& data) const
{
    double number = 0.0;
    if (!readDouble(input(data), number))
        return false;
    data.value = static_cast<float>(number);
    return true;
}

} // namespace Vellaris::Dsp
