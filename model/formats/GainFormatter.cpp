#include "model/formats/GainFormatter.h"

#include "model/formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void GainFormatter::print(Core::FormatterData& data) const
{
    writeFormatted(data, "%.02f dB", data.value);
}

bool GainFormatter::scan(Core::FormatterData& data) const
{
    double number = 0.0;
    if (!readDouble(input(data), number))
        return false;
    data.value = static_cast<float>(number);
    return true;
}

} // namespace Vellaris::Dsp
