#include "formats/PanFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void PanFormatter::print(Core::FormatterData& data) const
{
    float value = data.value;
    if (value == 0.5f)
        write(data, "< C >");
    else if (value < 0.5f)
        writeFormatted(data, "L %d", truncToInt((0.5f - value) * 100.0f));
    else
        writeFormatted(data, "R %d", truncToInt((value - 0.5f) * 100.0f));
}

} // namespace Vellaris::Dsp
