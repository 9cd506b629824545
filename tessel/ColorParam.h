#pragma once

#include <cstdint>

#include "tessel/Parameter.h"

namespace Tessel
{

// A color parameter (type 6): a 32-bit ARGB value. Its text is "#AARRGGBB" (upper-case hex);
// fromString also reads "#RRGGBB" (opaque) and decimal numbers. Range 0..0xFFFFFFFF.
class ColorParam : public Parameter
{
    TESSEL_DECLARE_CLASS(ColorParam)
public:
    explicit ColorParam(const std::string& name = {});

    uint32_t getColor() const { return uint32_t(value); }
    void setColor(uint32_t argb, bool notify = true) { setValue(Variant((long long)argb), notify); }

    std::string valueToString(const Variant& value) const override;
    bool fromString(const std::string& text, bool notify = true) override;
};

} // namespace Tessel
