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

} // namespace Vellaris::Dsp
