// The text form of a speaker's network report and the strength picture's frame.
#include <gtest/gtest.h>

#include <limits>

#include "netsetup/WifiEntry.h"

namespace
{

using Vellaris::WifiReport;

WifiReport parsed(const std::string& entry)
{
    WifiReport report;
    EXPECT_TRUE(WifiReport::parse(entry, report)) << entry;
    return report;
}

TEST(WifiEntry, ReadsNameStrengthAndSecurity)
{
    WifiReport home = parsed("Home<&#&>75<&#&>locked");
    EXPECT_EQ(home.name, "Home");
    EXPECT_FLOAT_EQ(home.strength, 75.0f);
    EXPECT_TRUE(home.locked);
    EXPECT_FALSE(parsed("Cafe<&#&>40<&#&>open").locked);
    EXPECT_FALSE(parsed("Cafe<&#&>40<&#&>Locked").locked) << "only the exact word is secured";
    EXPECT_EQ(parsed("Extra<&#&>5<&#&>locked<&#&>more").name, "Extra");
}

TEST(WifiEntry, AStarInsideAFieldStays)
{
    EXPECT_EQ(parsed("A*B<&#&>20<&#&>open").name, "A*B");
    EXPECT_EQ(parsed("**<&#&>20<&#&>open").name, "**");
    WifiReport starred = parsed("x<&#&>20<&#&>lo*cked");
    EXPECT_FALSE(starred.locked);
}

TEST(WifiEntry, EntriesWithFewerThanThreeFieldsAreRefused)
{
    WifiReport report;
    report.name = "untouched";
    EXPECT_FALSE(WifiReport::parse("Home<&#&>75", report));
    EXPECT_FALSE(WifiReport::parse("Home", report));
    EXPECT_FALSE(WifiReport::parse("", report));
    EXPECT_EQ(report.name, "untouched");
}

TEST(WifiEntry, StrengthsFromTheNetworkAreClampedToZeroThroughHundred)
{
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("abc"), 0.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength(""), 0.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("-5"), 0.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("150"), 100.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("1e308"), 100.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("nan"), 0.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("inf"), 100.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("-inf"), 0.0f);
    EXPECT_FLOAT_EQ(WifiReport::clampStrength("62.5"), 62.5f);
    EXPECT_FLOAT_EQ(parsed("Bad<&#&>loud<&#&>open").strength, 0.0f);
}

TEST(WifiEntry, StrengthFrameRoundsHalfAwayAndStopsBelowTheFrameCount)
{
    EXPECT_EQ(WifiReport::strengthFrame(75, 4), 3);
    EXPECT_EQ(WifiReport::strengthFrame(40, 4), 2);
    EXPECT_EQ(WifiReport::strengthFrame(30, 4), 1);
    EXPECT_EQ(WifiReport::strengthFrame(12.5f, 4), 1) << "0.5 rounds up";
    EXPECT_EQ(WifiReport::strengthFrame(12.4f, 4), 0);
    EXPECT_EQ(WifiReport::strengthFrame(100, 4), 3) << "never the frame count itself";
    EXPECT_EQ(WifiReport::strengthFrame(0, 4), 0);
    EXPECT_EQ(WifiReport::strengthFrame(50, 0), 0);
    EXPECT_EQ(WifiReport::strengthFrame(std::numeric_limits<float>::quiet_NaN(), 4), 0);
}

TEST(WifiEntry, LongNamesAreCutForDisplayWithoutSplittingACharacter)
{
    EXPECT_EQ(WifiReport::displayName("Home"), "Home");
    const std::string longName(10000, 'n');
    std::string shown = WifiReport::displayName(longName);
    EXPECT_EQ(shown, std::string(WifiReport::kMaxDisplayLength, 'n') + "\xE2\x80\xA6");
    // "é" is two bytes; 63 ASCII bytes put one across the cut.
    const std::string accented = std::string(63, 'a') + "\xC3\xA9" + "zzzz";
    EXPECT_EQ(WifiReport::displayName(accented), std::string(63, 'a') + "\xE2\x80\xA6");
}

} // namespace
