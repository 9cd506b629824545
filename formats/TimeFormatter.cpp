#include "formats/TimeFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void TimeFormatter::print(Core::FormatterData& data) const
{
    float value = data.value;
    if (value < 0.01f)
        writeFormatted(data, "%1.2f ms", value * 1000.0f);
    else if (value < 0.1f)
        writeFormatted(data, "%2.1f ms", value * 1000.0f);
    else if (value < 1.0f)
        writeFormatted(data, "%3.0f ms", value * 1000.0f);
    else
        writeFormatted(data, "%1.2f s", value);
}

bool TimeFormatter::scan(Core::FormatterData& data) const
{
    const char* text = input(data);
    double number = 0.0;
    if (!readDouble(text, number))
        return false;
    // Milliseconds when marked so, or when a bare number is too large to be meant as seconds.
    bool milliseconds = contains(text, "ms") || (number >= 10.0 && !contains(text, "s"));
    if (milliseconds)
        number *= 0.001;
    data.value = static_cast<float>(number);
    return true;
}

const char* const* TimeFormatter::typedUnits() const
{
    static const char* const units[] = {"ms", "s", nullptr};
    return units;
}

} // namespace Vellaris::Dsp
