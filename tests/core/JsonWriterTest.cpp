#include "core/JsonWriter.h"
#include "core/AttributeQueue.h"
#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "core/MemoryStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

using namespace Core::Portable;

namespace
{

Attributes speakerState()
{
    Attributes file;
    Attributes& speaker = file.setAttributes("Speaker");
    speaker.setInt64("contour", 0);
    speaker.setText("nickname", "Hall");
    Attributes& ch1 = speaker.setAttributes("line").setAttributes("ch1");
    ch1.setInt64("volume", 0);
    ch1.setDouble("delay", 0.5);
    return file;
}

// A stream that refuses every write after the first n bytes.
class FullDisk : public Stream
{
public:
    explicit FullDisk(int room) : room_(room) {}
    int write(const void*, int size) override
    {
        if (size > room_)
            return -1;
        room_ -= size;
        return size;
    }

private:
    int room_;
};

} // namespace

TEST(JsonWriter, CompactLayoutSeparatesMembersWithABareComma)
{
    Attributes message;
    message.setText("id", "Subscribe");
    message.setText("clientName", "Desk");
    Attributes& values = message.setAttributes("values");
    values.setDouble("volume", 0.5);
    AttributeQueue& list = message.setQueue("strings");
    list.appendText("a");
    list.appendInt64(-3);
    list.append();
    message.setAttributes("empty");
    message.setQueue("none");
    EXPECT_EQ(JsonWriter::toString(message),
              "{\"id\": \"Subscribe\",\"clientName\": \"Desk\",\"values\": {\"volume\": 0.5},"
              "\"strings\": [\"a\",-3,null],\"empty\": {},\"none\": []}");
}

TEST(JsonWriter, IndentedLayoutUsesTabsAndCrLfWithBracesOnTheirOwnLines)
{
    const std::string expected = "{\r\n"
                                 "\t\"Speaker\": \r\n"
                                 "\t{\r\n"
                                 "\t\t\"contour\": 0,\r\n"
                                 "\t\t\"nickname\": \"Hall\",\r\n"
                                 "\t\t\"line\": \r\n"
                                 "\t\t{\r\n"
                                 "\t\t\t\"ch1\": \r\n"
                                 "\t\t\t{\r\n"
                                 "\t\t\t\t\"volume\": 0,\r\n"
                                 "\t\t\t\t\"delay\": 0.5\r\n"
                                 "\t\t\t}\r\n"
                                 "\t\t}\r\n"
                                 "\t}\r\n"
                                 "}";
    EXPECT_EQ(JsonWriter::toString(speakerState(), JsonLayout::Indented), expected);
}

TEST(JsonWriter, IndentedArraysHoldOneValuePerLine)
{
    Attributes set;
    AttributeQueue& queue = set.setQueue("q");
    queue.appendInt64(1);
    queue.appendAttributes().setText("k", "v");
    EXPECT_EQ(JsonWriter::toString(set, JsonLayout::Indented),
              "{\r\n\t\"q\": \r\n\t[\r\n\t\t1,\r\n\t\t{\r\n\t\t\t\"k\": \"v\"\r\n\t\t}\r\n\t]\r\n}");
}

TEST(JsonWriter, EscapesExactlyEightCharactersAndKeepsEveryOtherByte)
{
    Attributes set;
    set.setText("t", std::string("\b\t\n\f\r\"'\\/\x01\x7f h\xC3\xA9", 15));
    EXPECT_EQ(JsonWriter::toString(set),
              std::string("{\"t\": \"\\b\\t\\n\\f\\r\\\"\\'\\\\/\x01\x7f h\xC3\xA9\"}"));
}

TEST(JsonWriter, KeysAreEscapedLikeStrings)
{
    Attributes set;
    set.setInt64("a\"b", 1);
    EXPECT_EQ(JsonWriter::toString(set), "{\"a\\\"b\": 1}");
}

TEST(JsonWriter, DoublesPrintLikePercent50gInTheCLocale)
{
    const double samples[] = {0.5,
                              1.0,
                              0.0,
                              -0.0,
                              0.1,
                              static_cast<double>(0.3f),
                              1e300,
                              5e-324,
                              1e21,
                              -2.5e-7,
                              123456789012345678.0};
    for (double value : samples)
    {
        Attributes set;
        set.setDouble("v", value);
        char expected[128];
        std::snprintf(expected, sizeof expected, "{\"v\": %.50g}", value);
        EXPECT_EQ(JsonWriter::toString(set), expected);
    }
    Attributes set;
    set.setDouble("half", 0.5);
    set.setDouble("one", 1.0);
    EXPECT_EQ(JsonWriter::toString(set), "{\"half\": 0.5,\"one\": 1}");
}

TEST(JsonWriter, FloatsComeBackAsTheSameSingleValue)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Attributes set;
    AttributeQueue& queue = set.setQueue("n");
    std::vector<float> floats;
    for (int i = 0; i <= 1000; ++i)
        floats.push_back(static_cast<float>(i) / 1000.0f);
    for (int i = 0; i < 5000; ++i)
        floats.push_back(unit(random));
    floats.push_back(std::numeric_limits<float>::min());
    floats.push_back(std::numeric_limits<float>::max());
    floats.push_back(std::numeric_limits<float>::denorm_min());
    for (float f : floats)
        queue.appendDouble(f);

    Attributes back;
    ASSERT_TRUE(JsonReader::parse(JsonWriter::toString(set), back));
    const AttributeQueue* read = back.getQueue("n");
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->count(), static_cast<int>(floats.size()));
    for (std::size_t i = 0; i < floats.size(); ++i)
        EXPECT_EQ(static_cast<float>(read->at(static_cast<int>(i)).toDouble()), floats[i]) << i;
}

TEST(JsonWriter, Int64LimitsAndNonFiniteDoubles)
{
    Attributes set;
    set.setInt64("max", std::numeric_limits<std::int64_t>::max());
    set.setInt64("min", std::numeric_limits<std::int64_t>::min());
    set.setDouble("nan", std::nan(""));
    set.setDouble("inf", HUGE_VAL);
    const std::string text = JsonWriter::toString(set);
    EXPECT_EQ(text,
              "{\"max\": 9223372036854775807,\"min\": -9223372036854775808,\"nan\": null,\"inf\": null}");
    Attributes back;
    ASSERT_TRUE(JsonReader::parse(text, back));
    EXPECT_EQ(back.getInt64("max"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(back.getInt64("min"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(back.contains("nan"));
}

TEST(JsonWriter, LongTextsPassThroughTheBufferIntact)
{
    Attributes set;
    std::string text(20000, 'x');
    for (std::size_t i = 0; i < text.size(); i += 97)
        text[i] = '\'';
    set.setText("long", text);
    MemoryStream stream;
    ASSERT_TRUE(JsonWriter::write(stream, set, JsonLayout::Compact));
    Attributes back;
    ASSERT_TRUE(JsonReader::parse(stream.data(), stream.size(), back));
    EXPECT_EQ(back.getText("long"), text);
}

TEST(JsonWriter, ReportsAStreamThatRefusesData)
{
    Attributes set;
    set.setText("long", std::string(10000, 'x'));
    FullDisk small(5000);
    EXPECT_FALSE(JsonWriter::write(small, set));
    FullDisk large(20000);
    EXPECT_TRUE(JsonWriter::write(large, set));
}

TEST(JsonWriter, RefusesSetsNestedDeeperThanTheBound)
{
    Attributes root;
    Attributes* level = &root;
    for (int i = 1; i < kMaxJsonDepth; ++i)
        level = &level->setAttributes("d");
    MemoryStream fits;
    EXPECT_TRUE(JsonWriter::write(fits, root));

    level->setAttributes("d").setInt64("x", 1);
    MemoryStream tooDeep;
    EXPECT_FALSE(JsonWriter::write(tooDeep, root));
    // What was written is still one well-formed object.
    Attributes back;
    EXPECT_TRUE(JsonReader::parse(tooDeep.data(), tooDeep.size(), back));
}
