// The data-block check is only as good as the reader behind it.

#include "TinyJson.h"

#include <gtest/gtest.h>

using namespace modeldata;

TEST(TinyJson, ReadsNestedObjectsAndArraysInOrder)
{
    JsonValue value;
    std::string error;
    ASSERT_TRUE(parseJson(" {\"a\": [1, -2.5, {\"b\": \"x\"}], \"c\": true, \"d\": null} ", value, error))
        << error;
    ASSERT_EQ(value.kind, JsonValue::Kind::Object);
    ASSERT_EQ(value.object.size(), 3u);
    EXPECT_EQ(value.object[0].first, "a");
    const JsonValue* a = value.member("a");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->array.size(), 3u);
    EXPECT_EQ(a->array[1].number, -2.5);
    EXPECT_EQ(a->array[2].member("b")->string, "x");
    EXPECT_TRUE(value.member("c")->boolean);
}

TEST(TinyJson, RejectsUnbalancedOrTrailingText)
{
    JsonValue value;
    std::string error;
    for (const char* text : {"{\"a\": 1", "{\"a\": [1, 2}", "{\"a\": \"open}", "{\"a\": 1}}", "{\"a\" 1}",
                             "{\"a\": 1,}", "", "{a: 1}"})
        EXPECT_FALSE(parseJson(text, value, error)) << text;
}
