#include "formats/IntFormatter.h"

#include "formats/FormatterText.h"

#include <cstring>

namespace Vellaris::Dsp
{

using namespace Core::FormatterText;

namespace
{
constexpr const char* kDegree = "\xC2\xB0"; // U+00B0 DEGREE SIGN in UTF-8
}

IntFormatter::IntFormatter(const char* name, const char* unit) : Formatter(name), unit_(unit)
{
    if (!unit)
        return;
    units_[0] = unit;
    if (std::strncmp(unit, kDegree, 2) == 0 && unit[2] != '\0')
        units_[1] = unit + 2;
}

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
