#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Core::Portable
{

class Attributes;
class AttributeQueue;
class Stream;

// The two text layouts of the JSON writer.
enum class JsonLayout
{
    // Messages: no line breaks, no indentation; members as "key": value,
    // separated by a bare comma.
    Compact,
    // Files: one member per line, one tab per nesting level, CR LF line
    // breaks, an object or array opened by a member on the line after its key.
    Indented,
};

// Deepest nesting of objects and arrays that the writer writes and the
// reader reads (the outermost object is level 1).
constexpr int kMaxJsonDepth = 512;

namespace Archiver
{

// Writes one JSON object to a stream through a 4096-byte buffer, handing
// the buffer to the stream whenever it fills and at finish(). Keys are
// ignored inside arrays and for the outermost object. Numbers of floating
// type are printed as "%.50g" in the C locale (non-finite ones as null, since
// JSON has no form for them), integers in decimal. Strings escape backspace,
// tab, line feed, form feed, carriage return, the double quote, the single
// quote and the backslash; every other byte is written unchanged.
class Writer
{
public:
    static constexpr std::size_t kBufferSize = 4096;

    Writer(Stream& stream, JsonLayout layout = JsonLayout::Compact);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void beginObject(std::string_view key = {});
    void endObject();
    void beginArray(std::string_view key = {});
    void endArray();
    void writeString(std::string_view key, std::string_view text);
    void writeBool(std::string_view key, bool value);
    void writeDouble(std::string_view key, double value);
    void writeInt64(std::string_view key, std::int64_t value);
    void writeNull(std::string_view key);

    // Writes the set's members (in order) as the members of the open object,
    // or as one object when nothing is open. False when the set nests deeper
    // than kMaxJsonDepth (nothing of the too-deep part is written) or a
    // stream write failed.
    bool writeAttributes(const Attributes& attributes);
    bool writeAttributes(std::string_view key, const Attributes& attributes);
    bool writeQueue(std::string_view key, const AttributeQueue& queue);

    // Hands what is buffered to the stream; false when any write to the
    // stream failed so far.
    bool finish();
    bool ok() const { return ok_; }

    // The whole set as one JSON object (parts nested deeper than
    // kMaxJsonDepth are left out). An empty object in the indented layout
    // is "{", CR LF, CR LF, "}" at its indentation.
    static std::string toString(const Attributes& attributes, JsonLayout layout = JsonLayout::Compact);
    // Writes the whole set as one JSON object to stream; false when the
    // stream refused data or the set nests too deeply.
    static bool write(Stream& stream, const Attributes& attributes, JsonLayout layout = JsonLayout::Compact);

private:
    void beginMember(std::string_view key);
    void open(char bracket, std::string_view key);
    void close(char bracket);
    void newLine(int level);
    void put(char c);
    void put(std::string_view text);
    void putEscaped(std::string_view text);
    void flush();
    bool writeValueMembers(const Attributes& attributes);
    bool writeQueueValues(const AttributeQueue& queue);

    Stream& stream_;
    JsonLayout layout_;
    std::vector<bool> inArray_; // one entry per open level
    int depth_ = 0;
    bool firstInLevel_ = true;
    bool ok_ = true;
    std::size_t used_ = 0;
    char buffer_[kBufferSize];
};

} // namespace Archiver

using JsonWriter = Archiver::Writer;

} // namespace Core::Portable
