#include "formats/Milliseconds.h"

#include "formats/FormatterText.h"

namespace Vellaris::LK::Format
{

using namespace Core::FormatterText;

void Milliseconds::print(Core::FormatterData& data) const
{
    float value = data.value;
    // Tenths below one millisecond; a negative value would come out as "0.-5 ms" that way.
    if (value >= 0.0f && value < 1.0f)
        writeFormatted(data, "0.%d ms", truncToInt(value * 10.0f));
    else
        writeFormatted(data, "%.1f ms", value);
}

bool Milliseconds::scan(Core::FormatterData& data) const
{
    // A decimal reader rather than an integer one, so that the printed text reads back: "12.3 ms"
    // and "0.5 ms" keep their fraction. Whole numbers read as before.
    return scanNumber(data);
}

const char* const* Milliseconds::typedUnits() const
{
    static const char* const units[] = {"ms", nullptr};
    return units;
}

} // namespace Vellaris::LK::Format
