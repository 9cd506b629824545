#include "model/ModelSyntax.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace Vellaris::ModelSyntax
{

std::string cut(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t end = limit;
    // Step back over continuation bytes so a multi-byte character is not split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

bool parseNumber(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    if (text[0] == '#')
    {
        const char* digits = text.c_str() + 1;
        // strtoull would also accept spaces, a sign and a "0x" prefix; the model's hexadecimal
        // numbers are digits only.
        if (text.size() == 1 ||
            !std::all_of(text.begin() + 1, text.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            return false;
        const unsigned long long value = std::strtoull(digits, &end, 16);
        if (*end != '\0' || errno != 0)
            return false;
        out = static_cast<double>(value);
        return true;
    }
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool parseInteger(const std::string& text, int64_t& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno != 0)
        return false;
    out = value;
    return true;
}

uint32_t parseFlags(const std::string& text)
{
    static const std::pair<const char*, uint32_t> kWords[] = {
        {"bipolar", kBipolar}, {"storable", kStorable}, {"private", kPrivate}, {"linkable", kLinkable},
        {"mutable", kMutable}, {"readonly", kReadOnly}, {"user1", kUser1},     {"user2", kUser2},
    };
    uint32_t bits = 0;
    for (const auto& [word, bit] : kWords)
    {
        if (text.find(word) != std::string::npos)
            bits |= bit;
    }
    return bits;
}

int parseType(const std::string& text)
{
    static const std::pair<const char*, int> kTypes[] = {
        {"toggle", kToggle}, {"int", kInt},     {"list", kList},   {"float", kFloat},
        {"string", kString}, {"alias", kAlias}, {"color", kColor},
    };
    for (const auto& [name, code] : kTypes)
    {
        if (text == name)
            return code;
    }
    return kToggle;
}

} // namespace Vellaris::ModelSyntax
