#pragma once

#include <cstdint>
#include <string>

#include "tessel/IUnknown.h"

namespace Tessel
{

// A tagged value: empty, 64-bit integer, double, text or a reference to an object. The type code
// sits in the low 4 bits of the type word; the upper bits are free for flags. An object value
// holds a reference (retained on store, released when replaced or destroyed).
class Variant
{
public:
    enum Type : int
    {
        kEmpty = 0,
        kInt = 1,
        kFloat = 2,
        kString = 3,
        kObject = 4,
    };
    static constexpr int kTypeMask = 0x0F;

    Variant() = default;
    Variant(long long v) : typeWord(kInt), intValue(int64_t(v)) {}
    Variant(int v) : Variant((long long)v) {}
    Variant(unsigned int v) : Variant((long long)v) {}
    Variant(long v) : Variant((long long)v) {}
    Variant(unsigned long v) : Variant((long long)v) {}
    Variant(unsigned long long v) : Variant((long long)v) {}
    Variant(bool v) : Variant((long long)(v ? 1 : 0)) {}
    Variant(double v) : typeWord(kFloat), floatValue(v) {}
    Variant(float v) : Variant(double(v)) {}
    Variant(const char* text) : typeWord(kString), text(text ? text : "") {}
    Variant(std::string text) : typeWord(kString), text(std::move(text)) {}
    // Holds a reference to `object`; a null object makes an empty variant.
    Variant(IUnknown* object);
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    // The type code (low 4 bits of the type word).
    int getType() const { return typeWord & kTypeMask; }
    // Flag bits above the type code.
    int getFlags() const { return typeWord & ~kTypeMask; }
    void setFlags(int flags) { typeWord = (typeWord & kTypeMask) | (flags & ~kTypeMask); }

    bool isEmpty() const { return getType() == kEmpty; }
    bool isInt() const { return getType() == kInt; }
    bool isFloat() const { return getType() == kFloat; }
    bool isNumeric() const { return isInt() || isFloat(); }
    bool isString() const { return getType() == kString; }
    bool isObject() const { return getType() == kObject; }

    // The value as integer: a double drops its fraction (saturating at the int64 limits, NaN gives
    // 0), a text is read as a decimal number when it is one, anything else is 0.
    int64_t asInt() const;
    // The value as double: integers convert, texts are read as numbers when they are, else 0.
    double asDouble() const;
    // The value as text: numbers print in C locale ("%lld", "%.17g" trimmed), objects give "".
    std::string asString() const;
    // The object (borrowed), or nullptr for any other type.
    IUnknown* asObject() const { return isObject() ? object : nullptr; }
    // The object seen as interface I (borrowed), or nullptr.
    template <class I> I* asInterface() const { return unknownCast<I>(asObject()); }
    // The text of a string variant (empty for other types) without conversion.
    const std::string& getText() const { return text; }

    void clear();

    // Same type and value; objects compare by identity; int and double compare numerically.
    friend bool operator==(const Variant& a, const Variant& b);
    friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

private:
    int typeWord = kEmpty;
    union
    {
        int64_t intValue = 0;
        double floatValue;
        IUnknown* object;
    };
    std::string text;
};

} // namespace Tessel
