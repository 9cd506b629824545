#include "formats/RangeTextFormatter.h"

#include "formats/FormatterText.h"

#include <cstring>

namespace Core
{

namespace
{

void copyCut(char (&target)[RangeTextFormatter::kTextSize], const char* source)
{
    size_t length = source ? std::strlen(source) : 0;
    if (length > RangeTextFormatter::kTextSize - 1)
        length = RangeTextFormatter::kTextSize - 1;
    if (length)
        std::memcpy(target, source, length);
    target[length] = '\0';
}

} // namespace

RangeTextFormatter::RangeTextFormatter(const char* name, const Formatter* base, const char* minText,
                                       const char* maxText)
    : Formatter(""), base_(base)
{
    copyCut(nameText_, name);
    copyCut(minText_, minText);
    copyCut(maxText_, maxText);
    setName(nameText_);
}

void RangeTextFormatter::print(FormatterData& data) const
{
    if (data.range)
    {
        if (minText_[0] && data.value <= data.range[0] + 0.001f)
        {
            FormatterText::write(data, minText_);
            return;
        }
        if (maxText_[0] && data.value >= data.range[1] - 0.001f)
        {
            FormatterText::write(data, maxText_);
            return;
        }
    }
    base_->print(data);
}

bool RangeTextFormatter::scan(FormatterData& data) const
{
    return base_->scan(data);
}

bool RangeTextFormatter::scanTyped(FormatterData& data) const
{
    char text[FormatterText::kScratchSize];
    if (data.range && FormatterText::normaliseTyped(FormatterText::input(data), text, sizeof text))
    {
        if (minText_[0] && FormatterText::equalsIgnoringCase(text, minText_))
        {
            data.value = data.range[0];
            return true;
        }
        if (maxText_[0] && FormatterText::equalsIgnoringCase(text, maxText_))
        {
            data.value = data.range[1];
            return true;
        }
    }
    return base_->scanTyped(data);
}

} // namespace Core
