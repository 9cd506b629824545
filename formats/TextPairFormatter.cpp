#include "formats/TextPairFormatter.h"

#include "formats/FormatterText.h"

#include <cstring>

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void TextPairFormatter::print(Core::FormatterData& data) const
{
    write(data, data.value != 0.0f ? nonZeroText_ : zeroText_);
}

bool TextPairFormatter::scan(Core::FormatterData& data) const
{
    const char* text = input(data);
    if (equalsIgnoringCase(text, nonZeroText_) || std::strcmp(text, "1") == 0)
    {
        data.value = 1.0f;
        return true;
    }
    if (equalsIgnoringCase(text, zeroText_) || std::strcmp(text, "0") == 0)
    {
        data.value = 0.0f;
        return true;
    }
    return false;
}

bool TextPairFormatter::scanTyped(Core::FormatterData& data) const
{
    char text[kScratchSize];
    if (!normaliseTyped(input(data), text, sizeof text))
        return false;
    Core::FormatterData read = data;
    read.text = text;
    read.capacity = int32_t(sizeof text);
    if (!scan(read))
        return false;
    data.value = read.value;
    return true;
}

} // namespace Vellaris::Dsp
