#pragma once

#include <cstdint>

namespace Core
{

// The record every formatter operation works on. print writes text from value; scan reads text
// into value. Output is cut to capacity - 1 characters plus the terminator.
struct FormatterData
{
    char* text = nullptr;         // output of print, input of scan; a null pointer reads as empty text
    int32_t capacity = 0;         // size of the text buffer in bytes
    float value = 0.0f;           // the plain value: input of print, output of scan
    const float* range = nullptr; // the parameter's minimum and maximum (two floats), or null
};

// Shows a plain value as text and reads typed text back. Formatters are looked up by name in the
// formatter registry and shared by every parameter that names them, so they hold no per-value state.
// print and scan never allocate.
class Formatter
{
public:
    // name must outlive the formatter (a literal, or storage of the derived class).
    explicit Formatter(const char* name) : name_(name) {}
    virtual ~Formatter();

    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    // Writes data.value as text into data.text (nothing when text is null or capacity is not
    // positive), cut to the buffer.
    virtual void print(FormatterData& data) const = 0;

    // Parses data.text into data.value and returns true; returns false and leaves the value as it
    // was when the text does not parse. This base cannot parse and always returns false.
    virtual bool scan(FormatterData& data) const;

    // Reads a value the user typed into a field. Stricter than scan: the whole text must be one
    // decimal number, optionally followed by one of typedUnits() (ignoring case and spaces), so
    // that "6 dBx" or "1.2.3" are refused instead of read as far as they go. A decimal comma
    // ("2,5k") and the minus sign U+2212 are read as "." and "-". The number then goes through
    // scan, so the formatter's own rules apply ("2.5k" is 2500 Hz, "120 ms" is 0.12 s). False,
    // leaving the value alone, for anything else and for a result that is not finite.
    virtual bool scanTyped(FormatterData& data) const;

    // The units a typed number may carry ("dB"; "Hz", "kHz", "k"), ended by a null pointer; null
    // when a typed value is a bare number.
    virtual const char* const* typedUnits() const { return nullptr; }

    // The registry name, for example "gain".
    const char* name() const { return name_; }

protected:
    void setName(const char* name) { name_ = name; }

private:
    const char* name_;
};

} // namespace Core
