#include "core/JsonWriter.h"

#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "core/MemoryStream.h"
#include "core/Stream.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace Core::Portable::Archiver
{

namespace
{

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

Writer::Writer(Stream& stream, JsonLayout layout) : stream_(stream), layout_(layout)
{
    inArray_.reserve(16);
}

Writer::~Writer()
{
    flush();
}

void Writer::beginObject(std::string_view key)
{
    open('{', key);
}

void Writer::endObject()
{
    close('}');
}

void Writer::beginArray(std::string_view key)
{
    open('[', key);
}

void Writer::endArray()
{
    close(']');
}

void Writer::writeString(std::string_view key, std::string_view text)
{
    beginMember(key);
    put('"');
    putEscaped(text);
    put('"');
}

void Writer::writeBool(std::string_view key, bool value)
{
    beginMember(key);
    put(value ? std::string_view("true") : std::string_view("false"));
}

void Writer::writeDouble(std::string_view key, double value)
{
    beginMember(key);
    if (!std::isfinite(value))
    {
        put("null");
        return;
    }
    // "%.50g" in the C locale: exact binary value, short for values such as 0.5 and 1.
    char text[128];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 50);
    put(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

void Writer::writeInt64(std::string_view key, std::int64_t value)
{
    beginMember(key);
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    put(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

void Writer::writeNull(std::string_view key)
{
    beginMember(key);
    put("null");
}

void Writer::beginMember(std::string_view key)
{
    if (depth_ == 0)
        return; // the outermost value has no key and no separator
    if (!firstInLevel_)
        put(',');
    if (layout_ == JsonLayout::Indented)
    {
        if (!firstInLevel_)
            put(kLineBreak);
        for (int i = 0; i < depth_; ++i)
            put('\t');
    }
    firstInLevel_ = false;
    if (!inArray_.back())
    {
        put('"');
        putEscaped(key);
        put("\": ");
    }
}

void Writer::open(char bracket, std::string_view key)
{
    const bool keyed = depth_ > 0 && !inArray_.back();
    beginMember(key);
    if (keyed && layout_ == JsonLayout::Indented)
        newLine(depth_);
    put(bracket);
    if (layout_ == JsonLayout::Indented)
        put(kLineBreak);
    inArray_.push_back(bracket == '[');
    ++depth_;
    firstInLevel_ = true;
}

void Writer::close(char bracket)
{
    if (depth_ == 0)
        return;
    --depth_;
    inArray_.pop_back();
    if (layout_ == JsonLayout::Indented)
        newLine(depth_);
    put(bracket);
    firstInLevel_ = false;
}

void Writer::newLine(int level)
{
    put(kLineBreak);
    for (int i = 0; i < level; ++i)
        put('\t');
}

void Writer::put(char c)
{
    if (used_ == kBufferSize)
        flush();
    buffer_[used_++] = c;
}

void Writer::put(std::string_view text)
{
    while (!text.empty())
    {
        if (used_ == kBufferSize)
            flush();
        const std::size_t count = std::min(text.size(), kBufferSize - used_);
        std::memcpy(buffer_ + used_, text.data(), count);
        used_ += count;
        text.remove_prefix(count);
    }
}

void Writer::putEscaped(std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        char escape = 0;
        switch (text[i])
        {
        case '\b':
            escape = 'b';
            break;
        case '\t':
            escape = 't';
            break;
        case '\n':
            escape = 'n';
            break;
        case '\f':
            escape = 'f';
            break;
        case '\r':
            escape = 'r';
            break;
        case '"':
            escape = '"';
            break;
        case '\'':
            escape = '\'';
            break;
        case '\\':
            escape = '\\';
            break;
        default:
            continue;
        }
        put(text.substr(start, i - start));
        put('\\');
        put(escape);
        start = i + 1;
    }
    put(text.substr(start));
}

void Writer::flush()
{
    if (used_ == 0)
        return;
    if (ok_ && stream_.write(buffer_, static_cast<int>(used_)) != static_cast<int>(used_))
        ok_ = false;
    used_ = 0;
}

bool Writer::finish()
{
    flush();
    return ok_;
}

bool Writer::writeAttributes(const Attributes& attributes)
{
    if (depth_ > 0)
        return writeValueMembers(attributes) && ok_;
    beginObject();
    const bool complete = writeValueMembers(attributes);
    endObject();
    return complete && ok_;
}

bool Writer::writeAttributes(std::string_view key, const Attributes& attributes)
{
    if (depth_ >= kMaxJsonDepth)
        return false;
    beginObject(key);
    const bool complete = writeValueMembers(attributes);
    endObject();
    return complete && ok_;
}

bool Writer::writeQueue(std::string_view key, const AttributeQueue& queue)
{
    if (depth_ >= kMaxJsonDepth)
        return false;
    beginArray(key);
    const bool complete = writeQueueValues(queue);
    endArray();
    return complete && ok_;
}

bool Writer::writeValueMembers(const Attributes& attributes)
{
    bool complete = true;
    for (const Attribute& attribute : attributes)
    {
        const AttributeValue& value = attribute.value();
        const std::string_view key = attribute.name();
        switch (value.kind())
        {
        case AttributeValue::Kind::None:
            writeNull(key);
            break;
        case AttributeValue::Kind::Integer:
            writeInt64(key, value.toInt64());
            break;
        case AttributeValue::Kind::Double:
            writeDouble(key, value.toDouble());
            break;
        case AttributeValue::Kind::Text:
            writeString(key, value.text());
            break;
        case AttributeValue::Kind::Queue:
            complete = writeQueue(key, *value.queue()) && complete;
            break;
        case AttributeValue::Kind::Attributes:
            complete = writeAttributes(key, *value.attributes()) && complete;
            break;
        }
    }
    return complete;
}

bool Writer::writeQueueValues(const AttributeQueue& queue)
{
    bool complete = true;
    for (const AttributeValue& value : queue)
    {
        switch (value.kind())
        {
        case AttributeValue::Kind::None:
            writeNull({});
            break;
        case AttributeValue::Kind::Integer:
            writeInt64({}, value.toInt64());
            break;
        case AttributeValue::Kind::Double:
            writeDouble({}, value.toDouble());
            break;
        case AttributeValue::Kind::Text:
            writeString({}, value.text());
            break;
        case AttributeValue::Kind::Queue:
            complete = writeQueue({}, *value.queue()) && complete;
            break;
        case AttributeValue::Kind::Attributes:
            complete = writeAttributes({}, *value.attributes()) && complete;
            break;
        }
    }
    return complete;
}

std::string Writer::toString(const Attributes& attributes, JsonLayout layout)
{
    MemoryStream stream;
    write(stream, attributes, layout);
    return stream.toString();
}

bool Writer::write(Stream& stream, const Attributes& attributes, JsonLayout layout)
{
    Writer writer(stream, layout);
    const bool complete = writer.writeAttributes(attributes);
    return writer.finish() && complete;
}

} // namespace Core::Portable::Archiver
