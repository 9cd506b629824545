#include "web/JsonText.h"

#include <cmath>
#include <cstdio>

namespace Vellaris::Web
{

void JsonText::appendQuoted(std::string& out, std::string_view value)
{
    out += '"';
    for (char c : value)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += c;
        }
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (byte < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(byte));
            out += escaped;
        }
        else
            out += c;
    }
    out += '"';
}

void JsonText::member(std::string_view key)
{
    if (needComma)
        text += ',';
    needComma = true;
    if (!key.empty())
    {
        appendQuoted(text, key);
        text += ':';
    }
}

JsonText& JsonText::beginObject(std::string_view key)
{
    member(key);
    text += '{';
    needComma = false;
    return *this;
}

JsonText& JsonText::endObject()
{
    text += '}';
    needComma = true;
    return *this;
}

JsonText& JsonText::beginArray(std::string_view key)
{
    member(key);
    text += '[';
    needComma = false;
    return *this;
}

JsonText& JsonText::endArray()
{
    text += ']';
    needComma = true;
    return *this;
}

JsonText& JsonText::string(std::string_view key, std::string_view value)
{
    member(key);
    appendQuoted(text, value);
    return *this;
}

JsonText& JsonText::number(std::string_view key, double value)
{
    member(key);
    if (!std::isfinite(value))
    {
        text += "null";
        return *this;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.9g", value);
    text += digits;
    return *this;
}

JsonText& JsonText::integer(std::string_view key, int64_t value)
{
    member(key);
    text += std::to_string(value);
    return *this;
}

JsonText& JsonText::boolean(std::string_view key, bool value)
{
    member(key);
    text += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::raw(std::string_view key, std::string_view json)
{
    member(key);
    text += json;
    return *this;
}

} // namespace Vellaris::Web
