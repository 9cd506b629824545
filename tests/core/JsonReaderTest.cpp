#include "core/JsonReader.h"
#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "core/JsonWriter.h"
#include "core/MemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <limits>
#include <random>

using namespace Core::Portable;

namespace
{

// Hands out at most a few bytes per read, so that every token crosses a
// refill somewhere.
class TrickleStream : public Stream
{
public:
    explicit TrickleStream(std::string text) : text_(std::move(text)) {}
    int read(void* buffer, int size) override
    {
        const std::size_t count = std::min({static_cast<std::size_t>(size), text_.size() - position_,
                                            static_cast<std::size_t>(1 + position_ % 7)});
        std::memcpy(buffer, text_.data() + position_, count);
        position_ += count;
        return static_cast<int>(count);
    }

private:
    std::string text_;
    std::size_t position_ = 0;
};

Attributes everyKind()
{
    Attributes set;
    set.setInt64("int", -42);
    set.setInt64("big", std::numeric_limits<std::int64_t>::max());
    set.setDouble("double", 0.25);
    set.setDouble("tiny", -1.5e-300);
    set.setText("text", "It's \"quoted\"\tand\\slashed\r\n\b\f h\xC3\xA9");
    set.setText("empty", "");
    AttributeQueue& queue = set.setQueue("queue");
    queue.appendInt64(1);
    queue.appendDouble(2.5);
    queue.appendText("three");
    queue.append(); // null inside an array is kept
    queue.appendQueue().appendQueue();
    queue.appendAttributes().setText("inner", "x");
    Attributes& nested = set.setAttributes("nested");
    nested.setAttributes("deeper").setInt64("n", 7);
    nested.setAttributes("emptySet");
    return set;
}

struct Parsed
{
    bool ok;
    std::string error;
    Attributes set;
};

Parsed parse(const std::string& text)
{
    Parsed result;
    result.ok = JsonReader::parse(text, result.set, &result.error);
    return result;
}

} // namespace

TEST(JsonReader, EveryKindRoundTripsInBothLayouts)
{
    const Attributes original = everyKind();
    for (JsonLayout layout : {JsonLayout::Compact, JsonLayout::Indented})
    {
        const Parsed back = parse(JsonWriter::toString(original, layout));
        EXPECT_TRUE(back.ok) << back.error;
        EXPECT_TRUE(back.set == original) << JsonWriter::toString(back.set);
    }
}

TEST(JsonReader, ReadsAStreamInPiecesLikeTextInMemory)
{
    const std::string text = JsonWriter::toString(everyKind(), JsonLayout::Indented);
    TrickleStream stream(text);
    Attributes fromStream;
    JsonReader reader;
    EXPECT_TRUE(reader.read(stream, fromStream)) << reader.error();
    EXPECT_TRUE(fromStream == everyKind());

    std::string large = "{\"list\": [";
    for (int i = 0; i < 3000; ++i)
        large += (i ? "," : "") + std::string("\"a\\'b\\n") + std::to_string(i) + "\"";
    large += "]}";
    MemoryStream memory(large);
    Attributes fromMemoryStream;
    ASSERT_TRUE(reader.read(memory, fromMemoryStream));
    EXPECT_EQ(fromMemoryStream.getQueue("list")->count(), 3000);
    EXPECT_EQ(fromMemoryStream.getQueue("list")->at(2999).text(), "a'b\n2999");
}

TEST(JsonReader, RefusesAByteOrderMarkAndAnythingButObjectOrArray)
{
    for (const char* text : {"\xEF\xBB\xBF{\"a\": 1}", "", "   ", "42", "\"text\"", "null"})
    {
        const Parsed result = parse(text);
        EXPECT_FALSE(result.ok) << text;
        EXPECT_EQ(result.error, "Object or array expected. Btw, UTF-8 BOM is unsupported.");
        EXPECT_TRUE(result.set.isEmpty());
    }
    const Parsed spaced = parse(" \t\r\n{\"a\": 1}");
    EXPECT_TRUE(spaced.ok);
    EXPECT_EQ(spaced.set.getInt64("a"), 1);
}

TEST(JsonReader, StoresATopLevelArrayUnderAnEmptyName)
{
    const Parsed result = parse("[1, \"two\"]");
    ASSERT_TRUE(result.ok);
    ASSERT_NE(result.set.getQueue(""), nullptr);
    EXPECT_EQ(result.set.getQueue("")->count(), 2);
}

TEST(JsonReader, BackslashRulesIncludeTheSingleQuoteAndDropUnknownEscapes)
{
    const Parsed result = parse(R"({"a": "It\'s", "b": "\"\/\\\b\f\n\r\t", "c": "\u00e9", "d": "x\qy\1z"})");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.set.getText("a"), "It's");
    EXPECT_EQ(result.set.getText("b"), "\"/\\\b\f\n\r\t");
    EXPECT_EQ(result.set.getText("c"), "00e9");
    EXPECT_EQ(result.set.getText("d"), "xyz");
}

TEST(JsonReader, NullMembersAreNotStoredAndBooleansBecomeIntegers)
{
    const Parsed result = parse(R"({"volume": null, "mute": true, "solo": false, "list": [null, true]})");
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.set.contains("volume"));
    EXPECT_EQ(result.set.find("mute")->kind(), AttributeValue::Kind::Integer);
    EXPECT_EQ(result.set.getInt64("mute"), 1);
    EXPECT_EQ(result.set.getInt64("solo", 9), 0);
    const AttributeQueue* list = result.set.getQueue("list");
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->at(0).isNone());
    EXPECT_EQ(list->at(1).toInt64(), 1);
}

TEST(JsonReader, RepeatedKeysAreAllKeptInOrderAndLookupSeesTheFirst)
{
    const Parsed result = parse(R"({"k": 1, "other": 2, "k": "second"})");
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.set.count(), 3);
    EXPECT_EQ(result.set.at(2).name(), "k");
    EXPECT_EQ(result.set.at(2).value().text(), "second");
    EXPECT_EQ(result.set.getInt64("k"), 1);
}

TEST(JsonReader, NumbersAreIntegersUnlessTheyHaveFractionOrExponent)
{
    const Parsed result = parse(R"({"i": -17, "max": 9223372036854775807, "min": -9223372036854775808,
        "over": 9223372036854775808, "f": 0.1, "e": 2E3, "neg": -1.25e-2, "huge": 1e999, "small": -1e-999,
        "long": 123456789012345678901234567890})");
    ASSERT_TRUE(result.ok) << result.error;
    const Attributes& set = result.set;
    EXPECT_TRUE(set.find("i")->isInteger());
    EXPECT_EQ(set.getInt64("i"), -17);
    EXPECT_EQ(set.getInt64("max"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(set.getInt64("min"), std::numeric_limits<std::int64_t>::min());
    EXPECT_TRUE(set.find("over")->isDouble());
    EXPECT_EQ(set.getDouble("over"), 9223372036854775808.0);
    EXPECT_TRUE(set.find("f")->isDouble());
    EXPECT_EQ(set.getDouble("f"), 0.1);
    EXPECT_TRUE(set.find("e")->isDouble());
    EXPECT_EQ(set.getDouble("e"), 2000.0);
    EXPECT_EQ(set.getDouble("neg"), -0.0125);
    EXPECT_EQ(set.getDouble("huge"), DBL_MAX);
    EXPECT_EQ(set.getDouble("small"), 0.0);
    EXPECT_DOUBLE_EQ(set.getDouble("long"), 1.2345678901234568e29);
}

TEST(JsonReader, StopsAtTheFirstErrorKeepingWhatWasRead)
{
    struct Case
    {
        const char* text;
        const char* error;
        int members;
    };
    const Case cases[] = {
        {R"({"a": 1, "b": "cut)", "Unexpected end of string.", 1},
        {R"({"a": 1, "b": "cut\)", "Unexpected end of string.", 1},
        {R"({"a": 1, b: 2})", "Expected \" after \",\".", 1},
        {R"({a: 1})", "'\"' expected when reading string.", 0},
        {R"({"a" 1})", "\":\" expected for key.", 0},
        {R"({"a": [1, ]})", "Expected value after \",\".", 1},
        {R"({"a": 1, "b": -x})", "Digit 0..9 expected when reading number.", 1},
        {R"({"a": 1, "b": 1.})", "Digit 0..9 expected when reading number.", 1},
        {R"({"a": 1, "b": 1e+})", "Digit 0..9 expected when reading number.", 1},
        {R"({"a": 1, "b": tru})", "true, false or null expected.", 1},
        {R"({"a": 1 "b": 2})", "\",\" or \"}\" expected in object.", 1},
        {R"({"a": [1 2]})", "\",\" or \"]\" expected in array.", 1},
        {R"({"a": 1, "b": })", "Value expected.", 1},
        {R"({"a": 1,)", "Expected \" after \",\".", 1},
        {R"({"a": 1)", "Unexpected end of text.", 1},
    };
    for (const Case& c : cases)
    {
        const Parsed result = parse(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_EQ(result.set.count(), c.members) << c.text;
    }
    // Nested content read before the error stays too.
    const Parsed nested = parse(R"({"Speaker": {"line": {"ch1": {"mute": 1, "volume": "x)");
    EXPECT_FALSE(nested.ok);
    const Attributes* ch1 = nested.set.getAttributes("Speaker")->getAttributes("line")->getAttributes("ch1");
    ASSERT_NE(ch1, nullptr);
    EXPECT_EQ(ch1->getInt64("mute"), 1);
    EXPECT_FALSE(ch1->contains("volume"));
}

TEST(JsonReader, ClearsTheTargetFirst)
{
    Attributes set;
    set.setInt64("old", 1);
    ASSERT_TRUE(JsonReader::parse(std::string("{\"new\": 2}"), set));
    EXPECT_FALSE(set.contains("old"));
    EXPECT_EQ(set.count(), 1);
}

TEST(JsonReader, BoundsTheNestingDepth)
{
    auto nestedArrays = [](int depth)
    { return "{\"a\": " + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}"; };
    EXPECT_TRUE(parse(nestedArrays(kMaxJsonDepth)).ok);
    const Parsed tooDeep = parse(nestedArrays(kMaxJsonDepth + 1));
    EXPECT_FALSE(tooDeep.ok);
    EXPECT_EQ(tooDeep.error, "Nesting deeper than 512 levels.");
    EXPECT_TRUE(tooDeep.set.contains("a"));

    // Far deeper than any stack could take recursively.
    const Parsed hostile = parse(std::string(1000000, '[') + std::string(1000000, '{'));
    EXPECT_FALSE(hostile.ok);
    EXPECT_EQ(hostile.error, "Nesting deeper than 512 levels.");
}

TEST(JsonReader, RefusesOverlongNumbers)
{
    const Parsed result = parse("{\"n\": " + std::string(5000, '9') + "}");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Number too long.");
}

TEST(JsonReader, GarbageAndCutTextsNeverCrash)
{
    const std::string valid = JsonWriter::toString(everyKind(), JsonLayout::Indented);
    for (std::size_t length = 0; length < valid.size(); ++length)
    {
        Attributes set;
        EXPECT_FALSE(JsonReader::parse(valid.data(), length, set)) << length;
    }
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "{}[]\":,\\'-+.eE0123456789 truefalsnul\t\r\n\x01\xff";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 3000; ++round)
    {
        std::string text = valid;
        std::uniform_int_distribution<std::size_t> position(0, text.size() - 1);
        for (int edits = 0; edits < 1 + round % 8; ++edits)
            text[position(random)] = round % 2 ? static_cast<char>(byte(random)) : alphabet[pick(random)];
        Attributes set;
        JsonReader::parse(text, set);
        std::string noise(static_cast<std::size_t>(round % 200), '\0');
        for (char& c : noise)
            c = alphabet[pick(random)];
        JsonReader::parse("{" + noise, set);
        JsonReader::parse("[" + noise, set);
    }
    Attributes set;
    EXPECT_FALSE(JsonReader::parse(nullptr, 0, set));
}
