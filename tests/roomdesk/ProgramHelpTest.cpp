// The three programs answer --help and --version on standard output and end with 0, without a
// display and without touching the network; their man pages name every option and environment
// variable the help names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/common/ChildProcess.h"

namespace
{

using NetworkTest::Outcome;
using NetworkTest::runToEnd;

// No display at all: a program that opened a window here would fail.
void withoutDisplay()
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    NetworkTest::useNewDiscoveryScope();
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

std::string readManPage(const std::string& name)
{
    std::ifstream in(std::string(MAN_DIR) + "/" + name + ".1");
    std::stringstream text;
    text << in.rdbuf();
    // troff writes a plain hyphen as "\-".
    return std::regex_replace(text.str(), std::regex(R"(\\-)"), "-");
}

// The options (--osc-port) and environment variables (ROOMDESK_OSC_PORT) a help text names.
std::set<std::string> namesIn(const std::string& help)
{
    std::set<std::string> names;
    static const std::regex pattern(R"(--[a-z][a-z-]*[a-z]|\b[A-Z][A-Z0-9]*_[A-Z0-9_]*[A-Z0-9]\b)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), pattern); it != std::sregex_iterator();
         ++it)
        names.insert(it->str());
    return names;
}

void expectManPageNames(const std::string& program, const std::string& help)
{
    const std::string page = readManPage(program);
    ASSERT_FALSE(page.empty()) << "no man page for " << program << " in " << MAN_DIR;
    for (const std::string& name : namesIn(help))
        EXPECT_NE(page.find(name), std::string::npos) << program << ".1 does not name " << name;
}

TEST(ProgramHelp, RoomdeskAnswersWithoutADisplay)
{
    withoutDisplay();
    Outcome help = runToEnd(ROOMDESK_PATH, {"--help"});
    ASSERT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(firstLine(help.out), "usage: roomdesk [OPTION]...");
    for (const char* name : {"--osc-port", "--osc-bind", "--web-port", "--web-bind", "--version",
                             "ROOMDESK_OSC_PORT", "ROOMDESK_OSC_BIND", "ROOMDESK_WEB_PORT",
                             "ROOMDESK_WEB_BIND", "LKNET_LOOPBACK_ONLY", "LKNET_DISCOVERY_PORT"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    EXPECT_EQ(help.err, "");

    // Help wins wherever it stands; the version alone, among the desk's own options, too.
    EXPECT_EQ(runToEnd(ROOMDESK_PATH, {"--osc-port", "9001", "-h"}).status, 0);
    Outcome version = runToEnd(ROOMDESK_PATH, {"--web-port=0", "--version"});
    ASSERT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(firstLine(version.out), std::string("roomdesk ") + ROOMDESK_VERSION);
    EXPECT_NE(version.out.find("Ambrel"), std::string::npos);
}

TEST(ProgramHelp, RoomdeskRefusesAMistypedOptionBeforeItStarts)
{
    const auto typo = runToEnd(ROOMDESK_PATH, {"--osc-prot", "9001"});
    EXPECT_EQ(typo.status, 2);
    EXPECT_EQ(typo.out, "");
    EXPECT_NE(typo.err.find("unknown option '--osc-prot'"), std::string::npos) << typo.err;
    EXPECT_NE(typo.err.find("roomdesk --help"), std::string::npos) << typo.err;
    // The desk's own options with their values, and Qt's own in either form, pass on to the start;
    // --version answers without starting anything.
    const auto known = runToEnd(ROOMDESK_PATH, {"--osc-port", "9001", "--web-bind=127.0.0.1", "--platform",
                                                "offscreen", "-style", "Basic", "--version"});
    EXPECT_EQ(known.status, 0) << known.err;
}

TEST(ProgramHelp, SimulatorAnswersWithoutPlayingASpeaker)
{
    withoutDisplay();
    Outcome help = runToEnd(TARNSIM_PATH, {"--help"});
    ASSERT_EQ(help.status, 0) << "tarnsim --help did not end by itself";
    EXPECT_EQ(firstLine(help.out), "usage: tarnsim [MODEL]");
    EXPECT_NE(help.out.find("TX10A, TX20A, TX30A or TX40S"), std::string::npos);
    // Nothing of a running speaker: no network report, no settings file.
    EXPECT_EQ(help.out.find("[lknet]"), std::string::npos);
    EXPECT_EQ(help.out.find("launced"), std::string::npos);

    Outcome version = runToEnd(TARNSIM_PATH, {"--version"});
    ASSERT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tarnsim ") + ROOMDESK_VERSION + "\n");
}

TEST(ProgramHelp, RoomctlTellsItsVersion)
{
    withoutDisplay();
    Outcome version = runToEnd(ROOMCTL_PATH, {"--version"});
    ASSERT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, std::string("roomctl ") + ROOMDESK_VERSION + "\n");
}

TEST(ProgramHelp, ManPagesNameEveryOptionAndVariableOfTheHelp)
{
    withoutDisplay();
    expectManPageNames("roomdesk", runToEnd(ROOMDESK_PATH, {"--help"}).out);
    expectManPageNames("tarnsim", runToEnd(TARNSIM_PATH, {"--help"}).out);
    expectManPageNames("roomctl", runToEnd(ROOMCTL_PATH, {"--help"}).out);
    // The desk's own sub-command is described on roomctl's page.
    expectManPageNames("roomctl", runToEnd(ROOMCTL_PATH, {"desk", "--help"}).out);
}

} // namespace
