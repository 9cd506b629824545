#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Vellaris::Web
{

// Builds one compact JSON text for a browser: strings escaped as JSON requires (quote, backslash,
// control characters as \u00XX), non-finite numbers as null. Keys are given with each member;
// inside arrays pass an empty key.
class JsonText
{
public:
    JsonText& beginObject(std::string_view key = {});
    JsonText& endObject();
    JsonText& beginArray(std::string_view key = {});
    JsonText& endArray();
    JsonText& string(std::string_view key, std::string_view value);
    JsonText& number(std::string_view key, double value);
    JsonText& integer(std::string_view key, int64_t value);
    JsonText& boolean(std::string_view key, bool value);
    // A member whose value is JSON text already (a number echoed as it came).
    JsonText& raw(std::string_view key, std::string_view json);

    const std::string& str() const { return text; }

    static void appendQuoted(std::string& out, std::string_view value);

private:
    void member(std::string_view key);

    std::string text;
    bool needComma = false;
};

} // namespace Vellaris::Web
