#pragma once

#include "formats/Formatter.h"

#include <cstddef>
#include <cstdint>

// Text helpers shared by the formatters. Nothing here allocates: text is built in a fixed scratch
// buffer on the stack and copied into the caller's buffer.
namespace Core::FormatterText
{

// Size of the scratch buffer every printed text is built in.
inline constexpr int kScratchSize = 128;

// Copies text into data.text, cut to data.capacity - 1 characters plus the terminator. Does nothing
// when data.text is null or data.capacity is not positive.
void write(FormatterData& data, const char* text);

// printf-style formatting into the scratch buffer, then write().
void writeFormatted(FormatterData& data, const char* format, ...) __attribute__((format(printf, 2, 3)));

// data.text, or "" when it is null.
const char* input(const FormatterData& data);

// True when needle occurs anywhere in text.
bool contains(const char* text, const char* needle);

// True when a and b are equal ignoring ASCII case.
bool equalsIgnoringCase(const char* a, const char* b);

// Reads a decimal floating-point number after optional white space, like "%lf". False when no
// number starts there or the number is not a number (NaN).
bool readDouble(const char* text, double& out);

// Reads data.text as a decimal number (readDouble) into data.value; false, leaving data.value
// alone, when it is not one. The scan of every formatter whose text is a plain number and unit.
bool scanNumber(FormatterData& data);

// Reads a decimal 64-bit integer after optional white space, like "%lld"; out-of-range numbers
// saturate. False when no number starts there.
bool readInt64(const char* text, int64_t& out);

// Copies a typed text into out (size bytes) for reading: spaces around it trimmed, the minus sign
// U+2212 as "-", and a single decimal comma as "." when the text has no ".". False when the text
// does not fit.
bool normaliseTyped(const char* text, char* out, size_t size);

// True when text is one decimal number (sign, digits, an optional fraction and exponent; no "inf",
// "nan" or hexadecimal), then optional spaces and either nothing or one of units (ignoring ASCII
// case), then nothing more. units is a list ended by a null pointer, or null for none.
bool isNumberWithUnit(const char* text, const char* const* units);

// Truncation toward zero into an int, saturating at the int range; NaN gives 0.
int truncToInt(float value);

} // namespace Core::FormatterText
