#pragma once

#include "tessel/Parameter.h"

namespace Tessel
{

// A text parameter (type 3). Its value, minimum, maximum and default are texts; the normalised
// value is always 0 and setting it does nothing. A formatter, if set, is not used.
class StringParam : public Parameter
{
    TESSEL_DECLARE_CLASS(StringParam)
public:
    explicit StringParam(const std::string& name = {});

    void setValue(const Variant& value, bool notify = true) override;
    void setMin(const Variant& minimum) override {}
    void setMax(const Variant& maximum) override {}
    void setDefaultValue(const Variant& value) override { defaultText = value.asString(); }
    void setNormalized(double normalized, bool notify = true) override {}
    double getValueNormalized(const Variant& value) const override { return 0; }
    bool fromString(const std::string& text, bool notify = true) override;
    Variant getValue() const override { return Variant(text); }
    Variant getMin() const override { return Variant(std::string()); }
    Variant getMax() const override { return Variant(std::string()); }
    Variant getDefaultValue() const override { return Variant(defaultText); }
    std::string valueToString(const Variant& value) const override { return value.asString(); }

    // The text (same as toString()).
    const std::string& getText() const { return text; }

protected:
    std::string text;
    std::string defaultText;
};

} // namespace Tessel
