// The log sink.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lknet/lknet.h"

namespace
{

std::vector<std::string> g_lines;
void collect(const char* line)
{
    g_lines.push_back(line);
}

TEST(LknetReport, FormatsOneLineWithoutTrailingLineFeedsForTheInstalledFunction)
{
    g_lines.clear();
    LKSetReportFunction(&collect);
    LKReportMessage(0, "Client %d attached to server %d\n", 3, 7);
    LKReportMessage(0, "%s", std::string(5000, 'x').c_str());
    LKSetReportFunction(nullptr);
    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_EQ(g_lines[0], "Client 3 attached to server 7");
    EXPECT_EQ(g_lines[1].size(), 4095u); // cut, never overrun
}

TEST(LknetReport, WithoutAFunctionLinesGoToStandardError)
{
    g_lines.clear();
    LKSetReportFunction(nullptr);
    testing::internal::CaptureStderr();
    LKReportMessage(0, "Tarnsim launced ()...");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tarnsim launced ()...\n");
    EXPECT_TRUE(g_lines.empty());
}

} // namespace
