#include "tessel/ColorParam.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace Tessel
{

TESSEL_DEFINE_CLASS(ColorParam, Parameter)

ColorParam::ColorParam(const std::string& name) : Parameter(ParamType::kColor, 0, 4294967295.0, name) {}

std::string ColorParam::valueToString(const Variant& v) const
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%08X", unsigned(uint32_t(v.asInt())));
    return buffer;
}

bool ColorParam::fromString(const std::string& text, bool notify)
{
    uint32_t argb;
    if (!text.empty() && text[0] == '#')
    {
        std::string digits = text.substr(1);
        if (digits.size() != 6 && digits.size() != 8)
            return false;
        for (char c : digits)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return false;
        argb = uint32_t(std::strtoul(digits.c_str(), nullptr, 16));
        if (digits.size() == 6)
            argb |= 0xFF000000u;
    }
    else
    {
        double number;
        if (!scanPlain(text, number) || number < 0 || number > 4294967295.0)
            return false;
        argb = uint32_t(number);
    }
    storeValue(double(argb), notify);
    return true;
}

} // namespace Tessel
