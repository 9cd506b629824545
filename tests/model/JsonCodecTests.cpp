// The framework's JSON codec: conversion of every value kind both ways and its installation.

#include <gtest/gtest.h>

#include "model/JsonCodec.h"
#include "tessel/AttributeList.h"
#include "tessel/Attributes.h"
#include "tessel/Initializer.h"
#include "tessel/Json.h"
#include "tessel/SharedPtr.h"

using Vellaris::JsonCodec;

namespace
{

Tessel::Attributes sampleOfEveryKind()
{
    Tessel::Attributes a;
    a.setInt("int", -42);
    a.setInt("big", 9007199254740993LL); // not exact in a double
    a.setFloat("double", 0.1);
    a.setFloat("huge", 1.5e300);
    a.setString("text", "quote \" backslash \\ tab \t line\n caf\xC3\xA9");
    a.setString("empty", "");
    Tessel::Attributes* nested = a.newAttributes("object");
    nested->setInt("n", 8);
    nested->newAttributes("inner")->setString("deep", "yes");
    Tessel::AttributeList* list = a.newList("array");
    list->append(Tessel::Variant(1));
    list->append(Tessel::Variant(2.5));
    list->append(Tessel::Variant("three"));
    list->appendAttributes()->setString("type", "eqtype1");
    Tessel::AutoPtr<Tessel::AttributeList> inner = new Tessel::AttributeList;
    inner->append(Tessel::Variant(7));
    list->append(Tessel::Variant(static_cast<Tessel::IUnknown*>(inner.get())));
    a.newList("none");
    return a;
}

} // namespace

TEST(JsonCodec, EveryValueKindSurvivesARoundTrip)
{
    JsonCodec codec;
    const Tessel::Attributes original = sampleOfEveryKind();
    std::string text;
    ASSERT_TRUE(codec.stringify(original, text));
    Tessel::Attributes back;
    ASSERT_TRUE(codec.parse(text, back)) << text;
    EXPECT_TRUE(back.equals(original)) << text;
    EXPECT_TRUE(back.find("int")->isInt());
    EXPECT_EQ(back.getInt("big"), 9007199254740993LL);
    EXPECT_TRUE(back.find("double")->isFloat());
    EXPECT_EQ(back.getFloat("double"), 0.1);
    ASSERT_TRUE(back.getList("array"));
    EXPECT_EQ(back.getList("array")->attributesAt(3)->getString("type"), "eqtype1");
}

TEST(JsonCodec, WritesCompactText)
{
    JsonCodec codec;
    Tessel::Attributes a;
    a.setInt("numBands", 8);
    a.newList("biquads")->append(Tessel::Variant("LowCut"));
    std::string text;
    ASSERT_TRUE(codec.stringify(a, text));
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_NE(text.find("\"numBands\""), std::string::npos);
}

TEST(JsonCodec, ReadsBooleansAsIntegersAndKeepsNullArrayItemsEmpty)
{
    JsonCodec codec;
    Tessel::Attributes a;
    ASSERT_TRUE(codec.parse(R"({"on": true, "off": false, "gone": null, "items": [null, 1]})", a));
    EXPECT_EQ(a.getInt("on"), 1);
    EXPECT_EQ(a.getInt("off"), 0);
    EXPECT_FALSE(a.contains("gone"));
    ASSERT_TRUE(a.getList("items"));
    EXPECT_EQ(a.getList("items")->count(), 2);
    EXPECT_TRUE(a.getList("items")->at(0).isEmpty());
}

TEST(JsonCodec, RejectsBrokenTextAndClearsTheTarget)
{
    JsonCodec codec;
    Tessel::Attributes a;
    a.setInt("old", 1);
    EXPECT_FALSE(codec.parse(R"({"numBands": 8, "bands": [)", a));
    EXPECT_FALSE(a.contains("old"));
    EXPECT_FALSE(codec.parse("not json", a));
    EXPECT_FALSE(codec.parse("", a));
}

TEST(JsonCodec, RefusesADictionaryThatContainsItself)
{
    JsonCodec codec;
    Tessel::AutoPtr<Tessel::Attributes> loop = new Tessel::Attributes;
    loop->setAttributes("self", loop);
    std::string text;
    EXPECT_FALSE(codec.stringify(*loop, text));
    loop->remove("self"); // breaks the reference cycle so the dictionary goes
}

TEST(JsonCodec, RuntimeInitializerInstallsTheCodecForTheFramework)
{
    Tessel::runInitializers();
    ASSERT_EQ(Tessel::getJsonCodec(), &JsonCodec::instance());
    Tessel::Attributes a;
    ASSERT_TRUE(Tessel::JsonParse(R"({"displayRange": {"minFreq": 20, "maxFreq": 20000}})", a));
    ASSERT_TRUE(a.getAttributes("displayRange"));
    EXPECT_EQ(a.getAttributes("displayRange")->getInt("maxFreq"), 20000);
    std::string text;
    EXPECT_TRUE(Tessel::JsonStringify(a, text));
    EXPECT_EQ(text, R"({"displayRange": {"minFreq": 20,"maxFreq": 20000}})");
}
