#pragma once

#include <string>
#include <utility>
#include <vector>

namespace modeldata
{

// A parsed JSON value; enough to read the class-data blocks of the model.
struct JsonValue
{
    enum class Kind
    {
        Null,
        Bool,
        Number,
        String,
        Array,
        Object
    };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> array;
    std::vector<std::pair<std::string, JsonValue>> object; // in document order

    // Defined where the member pairs are complete: a vector of pairs holding this very type
    // cannot be destroyed or copied inside the class body.
    JsonValue();
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;
    ~JsonValue();

    // Member of an object, or nullptr when absent or not an object.
    const JsonValue* member(const std::string& key) const;
};

// Parses one JSON text (surrounding white space allowed). Returns false and
// fills error on malformed input or trailing content.
bool parseJson(const std::string& text, JsonValue& out, std::string& error);

} // namespace modeldata
