// Where the remote control listens: defaults, environment and command line.
#include <gtest/gtest.h>

#include <map>

#include "osc/OscSettings.h"

namespace
{

using Vellaris::Osc::OscSettings;
using Vellaris::Osc::readOscSettings;

Vellaris::Osc::EnvironmentFunction environmentOf(std::map<std::string, std::string> values)
{
    return [values = std::move(values)](const char* name) -> const char*
    {
        auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

TEST(OscSettings, LoopbackPort9000UnlessAskedOtherwise)
{
    OscSettings settings = readOscSettings({"roomdesk"}, environmentOf({}));
    EXPECT_EQ(settings.port, 9000);
    EXPECT_EQ(settings.bind, "127.0.0.1");
    EXPECT_TRUE(settings.warnings.empty());
}

TEST(OscSettings, CommandLineWinsOverEnvironment)
{
    auto environment = environmentOf({{"ROOMDESK_OSC_PORT", "9100"}, {"ROOMDESK_OSC_BIND", "0.0.0.0"}});
    OscSettings fromEnvironment = readOscSettings({"roomdesk"}, environment);
    EXPECT_EQ(fromEnvironment.port, 9100);
    EXPECT_EQ(fromEnvironment.bind, "0.0.0.0");

    OscSettings fromArguments =
        readOscSettings({"roomdesk", "/restart", "--osc-port", "9200", "--osc-bind=::1"}, environment);
    EXPECT_EQ(fromArguments.port, 9200);
    EXPECT_EQ(fromArguments.bind, "::1");

    EXPECT_TRUE(readOscSettings({"roomdesk", "--osc-port=0"}, environment).isOff());
    EXPECT_TRUE(readOscSettings({"roomdesk"}, environmentOf({{"ROOMDESK_OSC_PORT", "0"}})).isOff());
}

TEST(OscSettings, UnusableValuesWarnAndKeepTheSafeDefaults)
{
    for (const char* port : {"70000", "-1", "9000x", "", "123456"})
    {
        OscSettings settings = readOscSettings({"roomdesk", "--osc-port", port}, environmentOf({}));
        EXPECT_EQ(settings.port, 9000) << port;
        EXPECT_EQ(settings.warnings.size(), 1u) << port;
    }
    OscSettings host = readOscSettings({"roomdesk", "--osc-bind", "desk.example"}, environmentOf({}));
    EXPECT_EQ(host.bind, "127.0.0.1"); // never beyond loopback by accident
    EXPECT_EQ(host.warnings.size(), 1u);
    OscSettings missing = readOscSettings({"roomdesk", "--osc-port"}, environmentOf({}));
    EXPECT_EQ(missing.port, 9000);
    EXPECT_EQ(missing.warnings.size(), 1u);
}

} // namespace
