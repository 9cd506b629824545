#include "formats/Formatter.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "formats/FormatterText.h"

namespace Core
{

Formatter::~Formatter() = default;

bool Formatter::scan(FormatterData&) const
{
    return false;
}

bool Formatter::scanTyped(FormatterData& data) const
{
    char text[FormatterText::kScratchSize];
    if (!FormatterText::normaliseTyped(FormatterText::input(data), text, sizeof text) ||
        !FormatterText::isNumberWithUnit(text, typedUnits()))
        return false;
    FormatterData read = data;
    read.text = text;
    read.capacity = int32_t(sizeof text);
    if (!scan(read) || !std::isfinite(read.value))
        return false;
    data.value = read.value;
    return true;
}

} // namespace Core
