#include "tessel/Style.h"

#include <cmath>

#include "tessel/Attributes.h"
#include "tessel/IFileSystem.h"
#include "tessel/Platform.h"
#include "tessel/Warning.h"

namespace Tessel
{

namespace
{
constexpr const char* kStyleResource = "resource:///style.json";

bool isNumber(const Variant& value)
{
    return value.isInt() || value.isFloat();
}
} // namespace

Style& Style::get()
{
    static Style style;
    static bool loaded = false;
    if (!loaded)
    {
        loaded = true;
        style.loadFromFile(kStyleResource);
    }
    return style;
}

bool Style::parseColor(const std::string& text, uint32_t& argb)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return false;
    uint32_t value = 0;
    for (size_t i = 1; i < text.size(); ++i)
    {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = (value << 4) | uint32_t(digit);
    }
    argb = text.size() == 7 ? (0xFF000000u | value) : value;
    return true;
}

void Style::clear()
{
    metrics.clear();
    colors.clear();
    fonts.clear();
    images.clear();
}

int Style::load(const Attributes& data)
{
    clear();
    int taken = 0;
    if (const Attributes* section = data.getAttributes("metrics"))
    {
        for (int i = 0; i < section->count(); ++i)
        {
            const Variant& value = section->valueAt(i);
            if (!isNumber(value) || !std::isfinite(value.asDouble()))
            {
                warning("Style metric \"%s\" is not a number\n", section->keyAt(i).c_str());
                continue;
            }
            metrics[section->keyAt(i)] = value.asDouble();
            ++taken;
        }
    }
    if (const Attributes* section = data.getAttributes("colors"))
    {
        for (int i = 0; i < section->count(); ++i)
        {
            uint32_t argb = 0;
            if (!section->valueAt(i).isString() || !parseColor(section->valueAt(i).getText(), argb))
            {
                warning("Style colour \"%s\" is not #rrggbb or #aarrggbb\n", section->keyAt(i).c_str());
                continue;
            }
            colors[section->keyAt(i)] = argb;
            ++taken;
        }
    }
    if (const Attributes* section = data.getAttributes("fonts"))
    {
        for (int i = 0; i < section->count(); ++i)
        {
            const Attributes* font = section->valueAt(i).asInterface<Attributes>();
            const double size = font ? font->getFloat("size", 0) : 0;
            if (!font || font->getString("family").empty() || !std::isfinite(size) || size <= 0 || size > 500)
            {
                warning("Style font \"%s\" needs a family and a size\n", section->keyAt(i).c_str());
                continue;
            }
            fonts[section->keyAt(i)] = Font{font->getString("family"), size, font->getInt("bold", 0) != 0};
            ++taken;
        }
    }
    if (const Attributes* section = data.getAttributes("images"))
    {
        for (int i = 0; i < section->count(); ++i)
        {
            if (!section->valueAt(i).isString() || section->valueAt(i).getText().empty())
            {
                warning("Style image \"%s\" is not a file name\n", section->keyAt(i).c_str());
                continue;
            }
            images[section->keyAt(i)] = section->valueAt(i).getText();
            ++taken;
        }
    }
    return taken;
}

bool Style::loadFromFile(const std::string& url)
{
    Attributes data;
    if (!data.loadFromFile(url))
        return false;
    load(data);
    return true;
}

double Style::getMetric(const std::string& name, double fallback) const
{
    auto it = metrics.find(name);
    return it != metrics.end() ? it->second : fallback;
}

uint32_t Style::getColor(const std::string& name, uint32_t fallback) const
{
    auto it = colors.find(name);
    return it != colors.end() ? it->second : fallback;
}

Style::Font Style::getFont(const std::string& name, const Font& fallback) const
{
    auto it = fonts.find(name);
    return it != fonts.end() ? it->second : fallback;
}

std::string Style::getImage(const std::string& name) const
{
    auto it = images.find(name);
    return it != images.end() ? it->second : std::string();
}

} // namespace Tessel
