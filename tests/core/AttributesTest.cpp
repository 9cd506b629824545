#include "core/Attributes.h"
#include "core/AttributeQueue.h"
#include "core/BlockPool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Core::Portable;

TEST(Attributes, NamesAreCutAt31CharactersWhenStoredAndLookedUp)
{
    Attributes set;
    const std::string longName(40, 'n');
    set.setInt64(longName, 5);
    EXPECT_EQ(set.at(0).name(), std::string(31, 'n'));
    EXPECT_EQ(set.getInt64(longName), 5);
    EXPECT_EQ(set.getInt64(std::string(31, 'n')), 5);
    set.setInt64(longName + "different tail", 6);
    EXPECT_EQ(set.count(), 1);
    EXPECT_EQ(set.getInt64(longName), 6);
}

TEST(Attributes, SettingReusesTheFirstEntryWhileAppendingAddsOne)
{
    Attributes set;
    set.setInt64("a", 1);
    set.setText("b", "x");
    set.setDouble("a", 2.5);
    ASSERT_EQ(set.count(), 2);
    EXPECT_EQ(set.at(0).name(), "a");
    EXPECT_EQ(set.getDouble("a"), 2.5);

    set.append("a").setInt64(3);
    ASSERT_EQ(set.count(), 3);
    EXPECT_EQ(set.getDouble("a"), 2.5);
    set.insert(0, "first").setInt64(0);
    EXPECT_EQ(set.at(0).name(), "first");

    std::string order;
    for (const Attribute& attribute : set)
        order += std::string(attribute.name()) + ",";
    EXPECT_EQ(order, "first,a,b,a,");

    EXPECT_TRUE(set.remove("a"));
    EXPECT_EQ(set.getInt64("a"), 3); // the second "a" is now the first
    EXPECT_FALSE(set.remove("missing"));
    set.removeAt(0);
    set.removeAt(99);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.at(0).name(), "b");
}

TEST(Attributes, NamesAreCaseSensitive)
{
    Attributes set;
    set.setInt64("Mute", 1);
    EXPECT_FALSE(set.contains("mute"));
}

TEST(Attributes, TypedReadsConvertNumbersAndFallBackOnOtherKinds)
{
    Attributes set;
    set.setInt64("int", 7);
    set.setDouble("double", -2.9);
    set.setText("text", "7");
    set.setDouble("nan", std::nan(""));
    set.setDouble("huge", 1e300);
    EXPECT_EQ(set.getDouble("int"), 7.0);
    EXPECT_EQ(set.getInt64("double"), -2); // truncated toward zero
    EXPECT_EQ(set.getInt64("text", -1), -1);
    EXPECT_EQ(set.getDouble("missing", 4.5), 4.5);
    EXPECT_EQ(set.getText("int"), "");
    EXPECT_EQ(set.getInt64("nan", 3), 0);
    EXPECT_EQ(set.getInt64("huge"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(set.getAttributes("int"), nullptr);
    EXPECT_EQ(set.getQueue("int"), nullptr);
}

TEST(Attributes, SettingAValueReleasesWhatItHeld)
{
    BlockPool& sets = BlockPool::forType<Attributes>();
    BlockPool& entries = BlockPool::forType<Attribute>();
    const auto setsBefore = sets.blocksInUse();
    const auto entriesBefore = entries.blocksInUse();
    {
        Attributes set;
        Attributes& nested = set.setAttributes("child");
        nested.setAttributes("grandchild").setText("t", std::string(1000, 'x'));
        nested.setQueue("q").appendAttributes().setInt64("n", 1);
        EXPECT_GT(sets.blocksInUse(), setsBefore);
        set.setInt64("child", 3); // replaces the whole nested tree
        EXPECT_EQ(sets.blocksInUse(), setsBefore);
        EXPECT_EQ(entries.blocksInUse(), entriesBefore + 1);
    }
    EXPECT_EQ(entries.blocksInUse(), entriesBefore);
}

TEST(Attributes, CopiesAreDeepAndIndependent)
{
    Attributes original;
    original.setAttributes("child").setText("name", "Hall");
    original.setQueue("q").appendInt64(1);
    Attributes copy = original;
    EXPECT_TRUE(copy == original);
    copy.getAttributes("child")->setText("name", "Club");
    copy.getQueue("q")->appendInt64(2);
    EXPECT_EQ(original.getAttributes("child")->getText("name"), "Hall");
    EXPECT_EQ(original.getQueue("q")->count(), 1);
    EXPECT_FALSE(copy == original);

    Attributes moved = std::move(copy);
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(moved.getAttributes("child")->getText("name"), "Club");
}

TEST(Attributes, CopyingASetIntoItselfOrFromItsOwnChildIsSafe)
{
    Attributes set;
    set.setAttributes("child").setInt64("n", 1);
    set.setAttributes("self", set);
    EXPECT_EQ(set.getAttributes("self")->getAttributes("child")->getInt64("n"), 1);

    Attributes& child = *set.getAttributes("child");
    set = child; // the source lives inside the target
    EXPECT_EQ(set.count(), 1);
    EXPECT_EQ(set.getInt64("n"), 1);

    AttributeValue value;
    value.makeAttributes().setInt64("k", 2);
    value = *value.attributes()->find("k");
    EXPECT_EQ(value.toInt64(), 2);
}
