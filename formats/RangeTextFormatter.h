#pragma once

#include "formats/Formatter.h"

namespace Core
{

// A formatter that shows a fixed text at either end of the parameter's range and otherwise behaves
// like its base formatter. The formatter registry creates these for names such as "gain/-inf/~":
// base "gain", "-inf" at the minimum, no text at the maximum.
class RangeTextFormatter final : public Formatter
{
public:
    static constexpr int kTextSize = 32; // each text keeps at most 31 characters

    // base must outlive this formatter. Every text is cut to 31 characters; an empty minText or
    // maxText means no text at that end.
    RangeTextFormatter(const char* name, const Formatter* base, const char* minText, const char* maxText);

    // With a range: minText when the value is within 0.001 above the minimum (or below it), else
    // maxText when within 0.001 below the maximum (or above it); otherwise the base's text.
    void print(FormatterData& data) const override;

    // Always the base's scan.
    bool scan(FormatterData& data) const override;
    // The base's typed reading; with a range, the end texts themselves ("-inf") read as the ends.
    bool scanTyped(FormatterData& data) const override;
    const char* const* typedUnits() const override { return base_->typedUnits(); }

    const Formatter* base() const { return base_; }
    const char* minText() const { return minText_; }
    const char* maxText() const { return maxText_; }

private:
    const Formatter* base_;
    char nameText_[kTextSize];
    char minText_[kTextSize];
    char maxText_[kTextSize];
};

} // namespace Core
