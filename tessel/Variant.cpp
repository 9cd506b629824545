#include "tessel/Variant.h"

#include <cerrno>
#include <cinttypes>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace Tessel
{

namespace
{
// Reads a whole text as a number in the C locale; false when anything but blanks is left over.
bool parseNumber(const std::string& text, double& out, bool& isWhole, int64_t& whole)
{
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    if (!*begin)
        return false;
    char* end = nullptr;
    errno = 0;
    long long i = std::strtoll(begin, &end, 10);
    const char* rest = end;
    while (*rest == ' ' || *rest == '\t')
        ++rest;
    if (end != begin && !*rest && errno == 0)
    {
        isWhole = true;
        whole = i;
        out = double(i);
        return true;
    }
    // strtod follows the C locale's decimal point; the programs never change LC_NUMERIC.
    double d = std::strtod(begin, &end);
    rest = end;
    while (*rest == ' ' || *rest == '\t')
        ++rest;
    if (end == begin || *rest)
        return false;
    isWhole = false;
    out = d;
    return true;
}

int64_t saturate(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9.2233720368547758e18)
        return std::numeric_limits<int64_t>::max();
    if (d <= -9.2233720368547758e18)
        return std::numeric_limits<int64_t>::min();
    return int64_t(d);
}
} // namespace

Variant::Variant(IUnknown* object)
{
    if (object)
    {
        typeWord = kObject;
        this->object = object;
        object->retain();
    }
}

Variant::Variant(const Variant& other) : typeWord(other.typeWord), text(other.text)
{
    switch (getType())
    {
    case kInt:
        intValue = other.intValue;
        break;
    case kFloat:
        floatValue = other.floatValue;
        break;
    case kObject:
        object = other.object;
        object->retain();
        break;
    default:
        intValue = 0;
        break;
    }
}

Variant::Variant(Variant&& other) noexcept
{
    *this = std::move(other);
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other)
    {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other)
    {
        clear();
        typeWord = other.typeWord;
        text = std::move(other.text);
        switch (getType())
        {
        case kInt:
            intValue = other.intValue;
            break;
        case kFloat:
            floatValue = other.floatValue;
            break;
        case kObject:
            object = other.object;
            break;
        default:
            intValue = 0;
            break;
        }
        other.typeWord = kEmpty;
        other.intValue = 0;
    }
    return *this;
}

Variant::~Variant()
{
    clear();
}

void Variant::clear()
{
    IUnknown* held = isObject() ? object : nullptr;
    typeWord = kEmpty;
    intValue = 0;
    text.clear();
    // Released last: the object's destructor may look at this variant's owner.
    if (held)
        held->release();
}

int64_t Variant::asInt() const
{
    switch (getType())
    {
    case kInt:
        return intValue;
    case kFloat:
        return saturate(floatValue);
    case kString:
    {
        double d;
        bool whole = false;
        int64_t i = 0;
        if (!parseNumber(text, d, whole, i))
            return 0;
        return whole ? i : saturate(d);
    }
    default:
        return 0;
    }
}

double Variant::asDouble() const
{
    switch (getType())
    {
    case kInt:
        return double(intValue);
    case kFloat:
        return floatValue;
    case kString:
    {
        double d;
        bool whole = false;
        int64_t i = 0;
        return parseNumber(text, d, whole, i) ? d : 0.0;
    }
    default:
        return 0;
    }
}

std::string Variant::asString() const
{
    char buffer[64];
    switch (getType())
    {
    case kInt:
        std::snprintf(buffer, sizeof buffer, "%" PRId64, intValue);
        return buffer;
    case kFloat:
    {
        // The shortest of %.15g and %.17g that reads back exactly.
        std::snprintf(buffer, sizeof buffer, "%.15g", floatValue);
        if (std::strtod(buffer, nullptr) != floatValue)
            std::snprintf(buffer, sizeof buffer, "%.17g", floatValue);
        return buffer;
    }
    case kString:
        return text;
    default:
        return {};
    }
}

bool operator==(const Variant& a, const Variant& b)
{
    int ta = a.getType();
    int tb = b.getType();
    if (a.isNumeric() && b.isNumeric())
    {
        if (ta == Variant::kInt && tb == Variant::kInt)
            return a.intValue == b.intValue;
        return a.asDouble() == b.asDouble();
    }
    if (ta != tb)
        return false;
    switch (ta)
    {
    case Variant::kString:
        return a.text == b.text;
    case Variant::kObject:
        return a.object == b.object;
    default:
        return true;
    }
}

} // namespace Tessel
