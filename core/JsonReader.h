#pragma once

#include <cstddef>
#include <string>

namespace Core::Portable
{

class Attributes;
class Stream;

namespace Archiver
{

// Parses one JSON text into an attribute set, reading a stream in chunks of
// 4096 bytes. The text must start (after spaces, tabs, CR and LF) with an
// object or an array; an array is stored as one member with an empty name.
// Objects become nested sets, arrays queues; numbers without fraction and
// exponent are 64-bit integers (beyond that range: doubles), others doubles
// (out-of-range ones clamp to the largest double, tiny ones become 0); true
// and false become the integers 1 and 0; null members are not stored (null
// inside an array is kept as a None value). Repeated keys are all kept, in
// order. In strings \" \' \/ \\ \b \f \n \r \t stand for their characters;
// a backslash and any other character after it are dropped (so \u00e9 reads
// as 00e9); every other byte is kept unchanged. A text starting with a UTF-8
// byte-order mark is refused.
// Parsing stops at the first error; what was read before it stays in the
// set. Nesting deeper than kMaxJsonDepth levels is such an error.
class Reader
{
public:
    static constexpr std::size_t kBufferSize = 4096;
    // Longest number text accepted (digits, sign, point and exponent).
    static constexpr std::size_t kMaxNumberLength = 1024;

    Reader() = default;

    // Clears target, then parses the stream into it. True when the whole
    // value was read without error; otherwise error() says what went wrong.
    bool read(Stream& stream, Attributes& target);
    // Same for text in memory (no copy is made).
    bool read(const char* text, std::size_t size, Attributes& target);

    // The text of the last error, empty after a successful read. The texts
    // are those the system shows, for example
    // "Object or array expected. Btw, UTF-8 BOM is unsupported."
    const std::string& error() const { return error_; }
    // Offset in the text where the error was found.
    std::size_t errorOffset() const { return errorOffset_; }

    // Convenience: parses text into target; on failure stores the error text
    // in *error when given. Returns whether parsing succeeded; target keeps
    // what was read either way.
    static bool parse(const char* text, std::size_t size, Attributes& target, std::string* error = nullptr);
    static bool parse(const std::string& text, Attributes& target, std::string* error = nullptr)
    {
        return parse(text.data(), text.size(), target, error);
    }

private:
    friend class Parser;
    std::string error_;
    std::size_t errorOffset_ = 0;
};

} // namespace Archiver

using JsonReader = Archiver::Reader;

} // namespace Core::Portable
