#include "core/JsonReader.h"

#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "core/JsonWriter.h"
#include "core/Stream.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>

namespace Core::Portable::Archiver
{

namespace
{

constexpr const char* kObjectOrArrayExpected = "Object or array expected. Btw, UTF-8 BOM is unsupported.";
constexpr const char* kQuoteExpected = "'\"' expected when reading string.";
constexpr const char* kEndOfString = "Unexpected end of string.";
constexpr const char* kColonExpected = "\":\" expected for key.";
constexpr const char* kQuoteAfterComma = "Expected \" after \",\".";
constexpr const char* kValueAfterComma = "Expected value after \",\".";
constexpr const char* kDigitExpected = "Digit 0..9 expected when reading number.";
constexpr const char* kValueExpected = "Value expected.";
constexpr const char* kWordExpected = "true, false or null expected.";
constexpr const char* kObjectEndExpected = "\",\" or \"}\" expected in object.";
constexpr const char* kArrayEndExpected = "\",\" or \"]\" expected in array.";
constexpr const char* kEndOfText = "Unexpected end of text.";
constexpr const char* kNumberTooLong = "Number too long.";
constexpr const char* kTooDeep = "Nesting deeper than 512 levels.";
static_assert(kMaxJsonDepth == 512, "the error text names the depth");

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool startsValue(int c)
{
    return c == '{' || c == '[' || c == '"' || c == '-' || isDigit(c) || c == 't' || c == 'f' || c == 'n';
}

} // namespace

// The recursive-descent parser behind Reader. It reads either straight from
// memory or from a stream through a 4096-byte buffer.
class Parser
{
public:
    Parser(Reader& reader, Stream* stream, const char* text, std::size_t size)
        : reader_(reader), stream_(stream), start_(text), current_(text), end_(text + size)
    {
    }

    bool run(Attributes& target)
    {
        reader_.error_.clear();
        reader_.errorOffset_ = 0;
        target.clear();
        skipSpace();
        const int c = peek();
        if (c == '{')
        {
            next();
            return parseObject(target, 1);
        }
        if (c == '[')
        {
            next();
            return parseArray(target.append({}).makeQueue(), 1);
        }
        return fail(kObjectOrArrayExpected);
    }

private:
    int peek()
    {
        if (current_ == end_ && !refill())
            return -1;
        return static_cast<unsigned char>(*current_);
    }

    int next()
    {
        const int c = peek();
        if (c >= 0)
            ++current_;
        return c;
    }

    bool refill()
    {
        if (!stream_)
            return false;
        consumed_ += static_cast<std::size_t>(end_ - start_);
        const int count = stream_->read(buffer_, static_cast<int>(Reader::kBufferSize));
        start_ = current_ = buffer_;
        end_ = buffer_ + (count > 0 ? count : 0);
        if (count <= 0)
            stream_ = nullptr; // end of the stream, or a read failure: no more text
        return count > 0;
    }

    void skipSpace()
    {
        for (;;)
        {
            const int c = peek();
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return;
            ++current_;
        }
    }

    bool fail(const char* text)
    {
        reader_.error_ = text;
        reader_.errorOffset_ = consumed_ + static_cast<std::size_t>(current_ - start_);
        return false;
    }

    bool parseObject(Attributes& object, int depth)
    {
        skipSpace();
        if (peek() == '}')
        {
            next();
            return true;
        }
        bool first = true;
        std::string key;
        for (;;)
        {
            if (peek() != '"')
                return fail(first ? kQuoteExpected : kQuoteAfterComma);
            if (!parseString(key))
                return false;
            skipSpace();
            if (peek() != ':')
                return fail(kColonExpected);
            next();
            skipSpace();
            const int c = peek();
            if (c == '{' || c == '[')
            {
                // Stored before its content so that a failure inside keeps what was read.
                if (!parseValue(object.append(key), depth))
                    return false;
            }
            else
            {
                AttributeValue value;
                if (!parseValue(value, depth))
                    return false;
                if (!value.isNone())
                    object.append(key) = std::move(value);
            }
            skipSpace();
            const int separator = next();
            if (separator == '}')
                return true;
            if (separator != ',')
                return fail(separator < 0 ? kEndOfText : kObjectEndExpected);
            skipSpace();
            first = false;
        }
    }

    bool parseArray(AttributeQueue& array, int depth)
    {
        skipSpace();
        if (peek() == ']')
        {
            next();
            return true;
        }
        bool first = true;
        for (;;)
        {
            const int c = peek();
            if (!startsValue(c))
                return fail(c < 0 ? kEndOfText : first ? kValueExpected : kValueAfterComma);
            if (c == '{' || c == '[')
            {
                if (!parseValue(array.append(), depth))
                    return false;
            }
            else
            {
                AttributeValue value;
                if (!parseValue(value, depth))
                    return false;
                array.append() = std::move(value);
            }
            skipSpace();
            const int separator = next();
            if (separator == ']')
                return true;
            if (separator != ',')
                return fail(separator < 0 ? kEndOfText : kArrayEndExpected);
            skipSpace();
            first = false;
        }
    }

    // depth is the level of the container holding the value.
    bool parseValue(AttributeValue& value, int depth)
    {
        const int c = peek();
        switch (c)
        {
        case '{':
            if (depth >= kMaxJsonDepth)
                return fail(kTooDeep);
            next();
            return parseObject(value.makeAttributes(), depth + 1);
        case '[':
            if (depth >= kMaxJsonDepth)
                return fail(kTooDeep);
            next();
            return parseArray(value.makeQueue(), depth + 1);
        case '"':
        {
            std::string text;
            if (!parseString(text))
                return false;
            value.setText(text);
            return true;
        }
        case 't':
            return parseWord("true", [&] { value.setInt64(1); });
        case 'f':
            return parseWord("false", [&] { value.setInt64(0); });
        case 'n':
            return parseWord("null", [&] { value.clear(); });
        default:
            if (c == '-' || isDigit(c))
                return parseNumber(value);
            return fail(c < 0 ? kEndOfText : kValueExpected);
        }
    }

    template <class Store> bool parseWord(std::string_view word, Store store)
    {
        for (char expected : word)
        {
            if (next() != expected)
                return fail(kWordExpected);
        }
        store();
        return true;
    }

    bool parseString(std::string& text)
    {
        text.clear();
        if (next() != '"')
            return fail(kQuoteExpected);
        for (;;)
        {
            // Copy plain runs straight from the buffer.
            const char* run = current_;
            while (current_ != end_ && *current_ != '"' && *current_ != '\\')
                ++current_;
            text.append(run, static_cast<std::size_t>(current_ - run));
            const int c = next();
            if (c < 0)
                return fail(kEndOfString);
            if (c == '"')
                return true;
            if (c != '\\')
            {
                text.push_back(static_cast<char>(c)); // the first byte after a refill
                continue;
            }
            const int escaped = next();
            switch (escaped)
            {
            case -1:
                return fail(kEndOfString);
            case '"':
            case '\'':
            case '/':
            case '\\':
                text.push_back(static_cast<char>(escaped));
                break;
            case 'b':
                text.push_back('\b');
                break;
            case 'f':
                text.push_back('\f');
                break;
            case 'n':
                text.push_back('\n');
                break;
            case 'r':
                text.push_back('\r');
                break;
            case 't':
                text.push_back('\t');
                break;
            default:
                break; // an unknown escape is dropped with its character
            }
        }
    }

    bool takeDigits(std::string& number)
    {
        if (!isDigit(peek()))
            return fail(kDigitExpected);
        while (isDigit(peek()))
        {
            if (number.size() >= Reader::kMaxNumberLength)
                return fail(kNumberTooLong);
            number.push_back(static_cast<char>(next()));
        }
        return true;
    }

    bool parseNumber(AttributeValue& value)
    {
        std::string number;
        bool isDouble = false;
        if (peek() == '-')
            number.push_back(static_cast<char>(next()));
        if (!takeDigits(number))
            return false;
        if (peek() == '.')
        {
            isDouble = true;
            number.push_back(static_cast<char>(next()));
            if (!takeDigits(number))
                return false;
        }
        if (peek() == 'e' || peek() == 'E')
        {
            isDouble = true;
            number.push_back(static_cast<char>(next()));
            if (peek() == '+' || peek() == '-')
                number.push_back(static_cast<char>(next()));
            if (!takeDigits(number))
                return false;
        }
        const char* first = number.data();
        const char* last = first + number.size();
        if (!isDouble)
        {
            std::int64_t integer = 0;
            const auto result = std::from_chars(first, last, integer);
            if (result.ec == std::errc())
            {
                value.setInt64(integer);
                return true;
            }
            // Beyond the 64-bit range: keep the magnitude as a double.
        }
        double real = 0;
        const auto result = std::from_chars(first, last, real);
        if (result.ec == std::errc::result_out_of_range)
            real = outOfRange(number);
        value.setDouble(real);
        return true;
    }

    // The value of a number too large or too small for a double: the largest
    // double or zero, with its sign.
    static double outOfRange(std::string_view number)
    {
        const bool negative = !number.empty() && number.front() == '-';
        if (negative)
            number.remove_prefix(1);
        const std::size_t exponentAt = number.find_first_of("eE");
        std::string_view mantissa = number.substr(0, exponentAt);
        long long exponent = 0;
        if (exponentAt != std::string_view::npos)
        {
            std::string_view digits = number.substr(exponentAt + 1);
            const bool negativeExponent = !digits.empty() && digits.front() == '-';
            if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
                digits.remove_prefix(1);
            for (char d : digits)
                exponent = std::min(exponent * 10 + (d - '0'), 1000000LL);
            if (negativeExponent)
                exponent = -exponent;
        }
        // Decimal position of the first significant digit.
        const std::size_t point = mantissa.find('.');
        const std::string_view whole = mantissa.substr(0, point);
        const std::size_t leading = whole.find_first_not_of('0');
        long long magnitude = 0;
        if (leading != std::string_view::npos)
        {
            magnitude = static_cast<long long>(whole.size() - leading);
        }
        else if (point != std::string_view::npos)
        {
            const std::string_view fraction = mantissa.substr(point + 1);
            const std::size_t firstNonZero = fraction.find_first_not_of('0');
            magnitude =
                firstNonZero == std::string_view::npos ? -1000000LL : -static_cast<long long>(firstNonZero);
        }
        const double result = magnitude + exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
        return negative ? -result : result;
    }

    Reader& reader_;
    Stream* stream_;
    const char* start_;
    const char* current_;
    const char* end_;
    std::size_t consumed_ = 0;
    char buffer_[Reader::kBufferSize];
};

bool Reader::read(Stream& stream, Attributes& target)
{
    Parser parser(*this, &stream, nullptr, 0);
    return parser.run(target);
}

bool Reader::read(const char* text, std::size_t size, Attributes& target)
{
    Parser parser(*this, nullptr, text, text ? size : 0);
    return parser.run(target);
}

bool Reader::parse(const char* text, std::size_t size, Attributes& target, std::string* error)
{
    Reader reader;
    const bool ok = reader.read(text, size, target);
    if (error)
        *error = reader.error();
    return ok;
}

} // namespace Core::Portable::Archiver
