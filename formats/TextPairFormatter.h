#pragma once

#include "formats/Formatter.h"

namespace Vellaris::Dsp
{

// Two-state values shown as a pair of words, such as "On"/"Off": any nonzero value prints the
// first text, zero prints the second.
class TextPairFormatter : public Core::Formatter
{
public:
    // All three texts must outlive the formatter (literals).
    TextPairFormatter(const char* name, const char* nonZeroText, const char* zeroText)
        : Formatter(name), nonZeroText_(nonZeroText), zeroText_(zeroText)
    {
    }

    void print(Core::FormatterData& data) const override;

    // The first text (any case) or "1" reads as 1; the second text (any case) or "0" reads as 0;
    // anything else does not parse.
    bool scan(Core::FormatterData& data) const override;
    // The same words, with spaces around them.
    bool scanTyped(Core::FormatterData& data) const override;

    const char* nonZeroText() const { return nonZeroText_; }
    const char* zeroText() const { return zeroText_; }

private:
    const char* nonZeroText_;
    const char* zeroText_;
};

} // namespace Vellaris::Dsp
