#include "TinyJson.h"

#include <cstdlib>

namespace modeldata
{

JsonValue::JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
JsonValue::~JsonValue() = default;

const JsonValue* JsonValue::member(const std::string& key) const
{
    if (kind != Kind::Object)
        return nullptr;
    for (const auto& [name, value] : object)
    {
        if (name == key)
            return &value;
    }
    return nullptr;
}

namespace
{

class Reader
{
public:
    explicit Reader(const std::string& text) : m_text(text) {}

    bool document(JsonValue& out, std::string& error)
    {
        if (!value(out, 0))
        {
            error = m_error + " at offset " + std::to_string(m_pos);
            return false;
        }
        skipSpace();
        if (m_pos != m_text.size())
        {
            error = "trailing content at offset " + std::to_string(m_pos);
            return false;
        }
        return true;
    }

private:
    static constexpr int kMaxDepth = 32;

    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool fail(const char* message)
    {
        m_error = message;
        return false;
    }

    bool literal(const char* word)
    {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return fail("unknown literal");
        m_pos += w.size();
        return true;
    }

    bool string(std::string& out)
    {
        ++m_pos; // opening quote
        while (m_pos < m_text.size())
        {
            const char c = m_text[m_pos++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("control character in string");
            if (c == '\\')
            {
                if (m_pos >= m_text.size())
                    break;
                const char e = m_text[m_pos++];
                switch (e)
                {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                default:
                    return fail("unsupported escape");
                }
            }
            else
            {
                out += c;
            }
        }
        return fail("unterminated string");
    }

    bool number(double& out)
    {
        const char* begin = m_text.c_str() + m_pos;
        char* end = nullptr;
        out = std::strtod(begin, &end);
        if (end == begin)
            return fail("bad number");
        m_pos += static_cast<size_t>(end - begin);
        return true;
    }

    bool value(JsonValue& out, int depth)
    {
        if (depth > kMaxDepth)
            return fail("nesting too deep");
        skipSpace();
        if (m_pos >= m_text.size())
            return fail("unexpected end");
        const char c = m_text[m_pos];
        if (c == '{')
        {
            out.kind = JsonValue::Kind::Object;
            ++m_pos;
            skipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == '}')
            {
                ++m_pos;
                return true;
            }
            for (;;)
            {
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                    return fail("expected key");
                std::string key;
                if (!string(key))
                    return false;
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != ':')
                    return fail("expected ':'");
                ++m_pos;
                JsonValue member;
                if (!value(member, depth + 1))
                    return false;
                out.object.emplace_back(std::move(key), std::move(member));
                skipSpace();
                if (m_pos < m_text.size() && m_text[m_pos] == ',')
                {
                    ++m_pos;
                    continue;
                }
                if (m_pos < m_text.size() && m_text[m_pos] == '}')
                {
                    ++m_pos;
                    return true;
                }
                return fail("expected ',' or '}'");
            }
        }
        if (c == '[')
        {
            out.kind = JsonValue::Kind::Array;
            ++m_pos;
            skipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ']')
            {
                ++m_pos;
                return true;
            }
            for (;;)
            {
                JsonValue element;
                if (!value(element, depth + 1))
                    return false;
                out.array.push_back(std::move(element));
                skipSpace();
                if (m_pos < m_text.size() && m_text[m_pos] == ',')
                {
                    ++m_pos;
                    continue;
                }
                if (m_pos < m_text.size() && m_text[m_pos] == ']')
                {
                    ++m_pos;
                    return true;
                }
                return fail("expected ',' or ']'");
            }
        }
        if (c == '"')
        {
            out.kind = JsonValue::Kind::String;
            return string(out.string);
        }
        if (c == 't' || c == 'f')
        {
            out.kind = JsonValue::Kind::Bool;
            out.boolean = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == 'n')
            return literal("null");
        out.kind = JsonValue::Kind::Number;
        return number(out.number);
    }

    const std::string& m_text;
    size_t m_pos = 0;
    std::string m_error;
};

} // namespace

bool parseJson(const std::string& text, JsonValue& out, std::string& error)
{
    out = JsonValue();
    return Reader(text).document(out, error);
}

} // namespace modeldata
