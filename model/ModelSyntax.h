#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Vellaris
{

// Reading the attribute texts of component-model documents.
namespace ModelSyntax
{

// Longest texts kept per attribute kind; longer values are cut at that length.
constexpr size_t kMaxIdLength = 63;      // identifiers, names, units, curves, hrefs
constexpr size_t kMaxStringLength = 127; // lk:String text
constexpr size_t kMaxShortLength = 31;   // a parameter's range, a data block's type

// Parameter type codes as the model writes them ("type" attribute).
enum TypeCode : int
{
    kToggle = 0,
    kInt = 1,
    kList = 2,
    kFloat = 3,
    kString = 4,
    kAlias = 5,
    kColor = 6,
};

// Flag bits of the "flags" attribute.
enum FlagBit : uint32_t
{
    kBipolar = 0x01,
    kStorable = 0x02,
    kPrivate = 0x04,
    kLinkable = 0x08,
    kMutable = 0x10,
    kReadOnly = 0x20,
    kUser1 = 0x40,
    kUser2 = 0x80,
};

// `text` cut to at most `limit` bytes (never in the middle of a UTF-8 sequence).
std::string cut(const std::string& text, size_t limit);
// Reads a number: decimal floating point, or "#" and a hexadecimal integer of up to 64 bits.
// Returns false (leaving `out`) when the text is not one of these as a whole or is not finite.
bool parseNumber(const std::string& text, double& out);
// Reads a decimal 64-bit integer; false (leaving `out`) when the text is not one as a whole.
bool parseInteger(const std::string& text, int64_t& out);
// Bits of every flag word that occurs anywhere in the text.
uint32_t parseFlags(const std::string& text);
// Type code of a "type" text; a missing or unknown text is a toggle.
int parseType(const std::string& text);

} // namespace ModelSyntax
} // namespace Vellaris
