#include <gtest/gtest.h>

#include "tessel/CommandDispatcher.h"
#include "tessel/Component.h"

using namespace Tessel;

namespace
{
class Base : public Component, public CommandDispatcher<Base>
{
    TESSEL_DECLARE_COMMANDS(Base)
public:
    std::vector<std::string> log;
    bool onQuit(const CommandMsg& msg)
    {
        if (!msg.checkOnly)
            log.push_back("base quit");
        return true;
    }
    bool onAnyView(const CommandMsg& msg)
    {
        if (!msg.checkOnly)
            log.push_back("base view " + msg.name);
        return true;
    }
};
TESSEL_BEGIN_COMMANDS(Base)
TESSEL_COMMAND("File", "Quit", Base::onQuit)
TESSEL_COMMAND("View", "", Base::onAnyView)
TESSEL_END_COMMANDS(Base, Component)

class Derived : public Base, public CommandDispatcher<Derived>
{
    TESSEL_DECLARE_COMMANDS(Derived)
public:
    int volume = 0;
    bool onLaunch(const CommandMsg& msg)
    {
        if (msg.checkOnly)
            return true;
        log.push_back("launch " + msg.name.substr(7));
        return true;
    }
    bool onVolume(const CommandMsg& msg)
    {
        if (!msg.checkOnly)
            ++volume;
        return true;
    }
    bool onRefuse(const CommandMsg&) { return false; }
    bool acceptsCommandCategory(const std::string& category) const override
    {
        return category == "Application" || category == "Speaker";
    }
};
TESSEL_BEGIN_COMMANDS(Derived)
TESSEL_COMMAND("Application", "Launch TX10A", Derived::onLaunch)
TESSEL_COMMAND("Application", "Launch TX40S", Derived::onLaunch)
TESSEL_COMMAND("Speaker", "Increase Volume", Derived::onVolume)
TESSEL_COMMAND("Speaker", "", Derived::onRefuse)
TESSEL_COMMAND("Speaker", "Decrease Volume", Derived::onVolume)
TESSEL_COMMAND("View", "Zoom", Derived::onRefuse)
TESSEL_END_COMMANDS(Derived, Base)
} // namespace

TEST(CommandDispatcher, EmptyNameRowCatchesEveryCommandOfItsCategory)
{
    AutoPtr<Base> base = new Base;
    EXPECT_TRUE(base->interpretCommand({"View", "Fullscreen"}));
    EXPECT_TRUE(base->interpretCommand({"View", "Anything at all"}));
    EXPECT_FALSE(base->interpretCommand({"Edit", "Fullscreen"}));
    EXPECT_EQ(base->log, (std::vector<std::string>{"base view Fullscreen", "base view Anything at all"}));
}

TEST(CommandDispatcher, FirstMatchingRowWins)
{
    AutoPtr<Derived> d = new Derived;
    EXPECT_TRUE(d->interpretCommand({"Speaker", "Increase Volume"}));
    EXPECT_EQ(d->volume, 1);
    // The wildcard row stands before "Decrease Volume", so that row is never reached.
    EXPECT_FALSE(d->interpretCommand({"Speaker", "Decrease Volume"}));
    EXPECT_EQ(d->volume, 1);
    EXPECT_EQ(
        CommandDispatcher<Derived>::findEntry(Derived::commandTable, {"Speaker", "Decrease Volume"})->handler,
        &Derived::onRefuse);
}

TEST(CommandDispatcher, ComparesExactlyAndFallsBackToTheBaseClass)
{
    AutoPtr<Derived> d = new Derived;
    EXPECT_FALSE(d->interpretCommand({"application", "Launch TX10A"}));
    EXPECT_FALSE(d->interpretCommand({"Application", "Launch TX10a"}));
    EXPECT_TRUE(d->interpretCommand({"File", "Quit"}));  // from Base's table
    EXPECT_FALSE(d->interpretCommand({"View", "Zoom"})); // Derived's row answers first
    EXPECT_TRUE(d->interpretCommand({"View", "Other"})); // Base's wildcard
    EXPECT_EQ(d->log, (std::vector<std::string>{"base quit", "base view Other"}));
    EXPECT_TRUE(d->acceptsCommandCategory("Speaker"));
    EXPECT_FALSE(d->acceptsCommandCategory("File"));
}

TEST(CommandDispatcher, CheckOnlyAnswersWithoutChangingAnything)
{
    AutoPtr<Derived> d = new Derived;
    EXPECT_TRUE(d->interpretCommand({"Application", "Launch TX40S", true}));
    EXPECT_TRUE(d->interpretCommand({"Speaker", "Increase Volume", true}));
    EXPECT_TRUE(d->interpretCommand({"File", "Quit", true}));
    EXPECT_TRUE(d->log.empty());
    EXPECT_EQ(d->volume, 0);
    EXPECT_TRUE(d->interpretCommand({"Application", "Launch TX40S"}));
    EXPECT_EQ(d->log, (std::vector<std::string>{"launch TX40S"}));
}

TEST(CommandDispatcher, ComponentMethodRoutesCommands)
{
    AutoPtr<Derived> d = new Derived;
    Variant result;
    ASSERT_TRUE(d->invokeMethod(
        result, Message("interpretCommand", {Variant("Speaker"), Variant("Increase Volume")})));
    EXPECT_EQ(result.asInt(), 1);
    EXPECT_EQ(d->volume, 1);
}
