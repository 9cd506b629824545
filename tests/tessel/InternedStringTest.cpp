#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tessel/Component.h"
#include "tessel/InternedString.h"
#include "tessel/Parameter.h"

using namespace Tessel;

TEST(InternedString, EqualTextsShareOneEntryThatGoesWithItsLastHolder)
{
    const size_t before = InternedString::countEntries();
    {
        InternedString first("interned-test-volume");
        InternedString second(std::string("interned-test-") + "volume");
        EXPECT_EQ(InternedString::countEntries(), before + 1);
        EXPECT_EQ(&first.str(), &second.str());
        EXPECT_TRUE(first == second);
        InternedString other("interned-test-mute");
        EXPECT_EQ(InternedString::countEntries(), before + 2);
        EXPECT_FALSE(first == other);
        EXPECT_EQ(other.str(), "interned-test-mute");
        {
            InternedString copy = first;
            InternedString moved = std::move(second);
            EXPECT_TRUE(second.empty());
            EXPECT_EQ(moved.str(), "interned-test-volume");
            first = other; // the volume entry is still held by the copy and the moved one
            EXPECT_EQ(InternedString::countEntries(), before + 2);
        }
        // Only `first` and `other` remain, both on the mute entry.
        EXPECT_EQ(InternedString::countEntries(), before + 1);
        other = InternedString();
        EXPECT_EQ(first.str(), "interned-test-mute");
    }
    EXPECT_EQ(InternedString::countEntries(), before);
}

TEST(InternedString, TheEmptyTextHasNoEntry)
{
    const size_t before = InternedString::countEntries();
    InternedString none("");
    InternedString defaulted;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.str(), "");
    EXPECT_TRUE(none == defaulted);
    EXPECT_EQ(InternedString::countEntries(), before);
}

TEST(InternedString, ParametersAndComponentsOfOneNameShareItAndRenameAlone)
{
    AutoPtr<Component> first = new Component("interned-test-block", "A title");
    AutoPtr<Component> second = new Component("interned-test-block", "A title");
    Parameter* gain = first->getParams().addFloat(-12, 12, "interned-test-gain");
    Parameter* twin = second->getParams().addFloat(-12, 12, "interned-test-gain");
    EXPECT_EQ(&gain->getName(), &twin->getName());
    EXPECT_EQ(&first->getTitle(), &second->getTitle());

    twin->setName("interned-test-trim");
    second->setName("interned-test-other");
    EXPECT_EQ(gain->getName(), "interned-test-gain");
    EXPECT_EQ(twin->getName(), "interned-test-trim");
    EXPECT_EQ(first->getName(), "interned-test-block");
    EXPECT_EQ(second->getComponentPath(), "interned-test-other");
    EXPECT_EQ(second->findParameter("interned-test-trim"), twin);
    EXPECT_EQ(second->findParameter("interned-test-gain"), nullptr);
    Variant title;
    ASSERT_TRUE(second->setProperty("title", Variant(std::string("B title"))));
    ASSERT_TRUE(first->getProperty("title", title));
    EXPECT_EQ(title.asString(), "A title");
}
