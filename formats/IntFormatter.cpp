#include "formats/IntFormatter.h"

#include "formats/FormatterText.h"

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

void IntFormatter::print(Core::FormatterData& data) const
{
    if (unit_)
        writeFormatted(data, "%d %s", truncToInt(data.value), unit_);
    else
        writeFormatted(data, "%d", truncToInt(data.value));
}

bool IntFormatter::scan(Core::FormatterData& data) const
{
    int64_t number = 0;
    if (!readInt64(input(data), number))
        return false;
    data.value = static_cast<float>(number);
    return true;
}

} // namespace Vellaris::Dsp
