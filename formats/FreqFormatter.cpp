#include "formats/FreqFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void FreqFormatter::print(Core::FormatterData& data) const
{
    float value = data.value;
    if (value >= 1000.0f)
        writeFormatted(data, "%.02f kHz", value / 1000.0f);
    else if (value >= 100.0f)
        writeFormatted(data, "%.01f Hz", value);
    else
        writeFormatted(data, "%.02f Hz", value);
}

bool FreqFormatter::scan(Core::FormatterData& data) const
{
    const char* text = input(data);
    double number = 0.0;
    if (!readDouble(text, number))
        return false;
    if (contains(text, "k"))
        number *= 1000.0;
    data.value = static_cast<float>(number);
    return true;
}

const char* const* FreqFormatter::typedUnits() const
{
    static const char* const units[] = {"Hz", "kHz", "k", nullptr};
    return units;
}

} // namespace Vellaris::Dsp
