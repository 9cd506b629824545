// The remote control's rules on the headless platform: what an address names, how values are
// queried and set, what is refused, and how watches live and end.
#include <gtest/gtest.h>

#include <cmath>

#include "tessel/CommandMsg.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tessel/ParamContainer.h"
#include "tessel/Parameter.h"
#include "tessel/StringParam.h"
#include "tests/osc/OscTestSupport.h"

namespace
{

using OscTest::Reply;

// A component that records what its parameters tell it, handles one command and answers the
// property "hasItems".
class Mixer : public Tessel::Component
{
public:
    Mixer() : Component("Mixer")
    {
        volume = getParams().addFloat(-80, 10, "volume", 1);
        mute = getParams().addParam("mute", 2);
        Tessel::ListParam* voicing = getParams().addList("voicing", 3);
        voicing->appendEntry("Off");
        voicing->appendEntry("On");
        getParams().addString("nickname", 4)->setValue(Tessel::Variant("Left"), false);
        Tessel::Parameter* locked = getParams().addFloat(0, 1, "locked", 5);
        locked->setFlag(Tessel::ParamFlags::kReadOnly, true);
        getParams().addFloat(0, 1, "sleeping", 6)->enable(false);
        getParams().addCommand("Speaker", "Increase Volume", "volumeUp", 7);
        getParams().addFloat(0, 1, "load*?", 8);
    }
    bool interpretCommand(const Tessel::CommandMsg& msg) override
    {
        if (msg.name != "Increase Volume" || !available)
            return false;
        if (!msg.checkOnly)
            ++invoked;
        return true;
    }
    void paramChanged(Tessel::IParameter* param) override { changes.push_back(param->getName()); }
    void paramEdit(Tessel::IParameter* param, bool begin) override
    {
        edits.push_back((begin ? "begin " : "end ") + param->getName());
    }
    bool getProperty(const std::string& name, Tessel::Variant& value) const override
    {
        if (name == "hasItems")
        {
            value = Tessel::Variant(hasItems);
            return true;
        }
        return Component::getProperty(name, value);
    }
    void setHasItems(int on)
    {
        hasItems = on;
        propertyChanged("hasItems");
    }

    Tessel::IParameter* volume = nullptr;
    Tessel::IParameter* mute = nullptr;
    std::vector<std::string> changes;
    std::vector<std::string> edits;
    int invoked = 0;
    bool available = true;
    int hasItems = 0;
};

class OscDesk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mixer = new Mixer;
        Tessel::getRootComponent()->addChild(mixer);
        mixer->addChild(new Tessel::Component("Hall_{0A1B}"));
        mixer->volume->setValue(Tessel::Variant(-10.0), false);
    }
    void TearDown() override { Tessel::destroyRootComponent(); }

    static void expectError(const std::vector<Reply>& replies, const std::string& address)
    {
        ASSERT_EQ(replies.size(), 1u) << address;
        EXPECT_EQ(replies[0].path, "/error");
        ASSERT_EQ(replies[0].types, "ss");
        EXPECT_EQ(replies[0].args[0], address);
        EXPECT_FALSE(replies[0].args[1].empty());
    }

    Tessel::HeadlessPlatform platform;
    Mixer* mixer = nullptr; // owned by the root
    OscTest::DeskUnderTest desk;
};

TEST_F(OscDesk, QueryAnswersTheValueByKindAndItsText)
{
    auto volume = desk.send("/roomdesk/Mixer/volume");
    ASSERT_EQ(volume.size(), 1u);
    EXPECT_EQ(volume[0].path, "/roomdesk/Mixer/volume");
    EXPECT_EQ(volume[0].types, "fs");
    EXPECT_FLOAT_EQ(volume[0].number, -10.0f);
    EXPECT_EQ(volume[0].args[1], mixer->volume->toString());

    auto voicing = desk.send("/roomdesk/Mixer/voicing");
    ASSERT_EQ(voicing.size(), 1u);
    EXPECT_EQ(voicing[0].types, "is");
    EXPECT_EQ(voicing[0].args[1], "Off");

    auto nickname = desk.send("/roomdesk/Mixer/nickname");
    ASSERT_EQ(nickname.size(), 1u);
    EXPECT_EQ(nickname[0].types, "ss");
    EXPECT_EQ(nickname[0].args[0], "Left");

    mixer->setHasItems(1);
    auto property = desk.send("/roomdesk/Mixer/hasItems");
    ASSERT_EQ(property.size(), 1u);
    EXPECT_EQ(property[0].types, "is");
    EXPECT_EQ(property[0].integer, 1);
    // The answer goes to the sender only.
    EXPECT_EQ(desk.recipients.back(), "127.0.0.1:50000");
}

TEST_F(OscDesk, SetTakesPlainNumbersAndTextInOneEditGesture)
{
    auto reply = desk.send("/roomdesk/Mixer/volume", {{'f', "-6.5"}});
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -6.5);
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].path, "/roomdesk/Mixer/volume");
    EXPECT_FLOAT_EQ(reply[0].number, -6.5f);
    // Exactly one change reaches the controller, between the begin and the end of the gesture,
    // as for a drag on screen.
    EXPECT_EQ(mixer->changes, std::vector<std::string>{"volume"});
    EXPECT_EQ(mixer->edits, (std::vector<std::string>{"begin volume", "end volume"}));

    mixer->changes.clear();
    desk.send("/roomdesk/Mixer/volume", {{'s', "-3"}});
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -3.0);
    EXPECT_EQ(mixer->changes, std::vector<std::string>{"volume"});

    desk.send("/roomdesk/Mixer/volume", {{'i', "500"}});
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), 10.0); // clamped to the range
    desk.send("/roomdesk/Mixer/volume", {{'d', "-20"}});
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -20.0);

    desk.send("/roomdesk/Mixer/mute", {{'T', ""}});
    EXPECT_EQ(mixer->mute->getValue().asInt(), 1);
    desk.send("/roomdesk/Mixer/mute", {{'f', "0.7"}}); // whole-number kinds drop the fraction
    EXPECT_EQ(mixer->mute->getValue().asInt(), 0);
    desk.send("/roomdesk/Mixer/voicing", {{'s', "On"}});
    EXPECT_EQ(mixer->findParameter("voicing")->getValue().asInt(), 1);
    desk.send("/roomdesk/Mixer/nickname", {{'s', "Stage {left}"}});
    EXPECT_EQ(mixer->findParameter("nickname")->toString(), "Stage {left}");
}

TEST_F(OscDesk, RefusedSetsAnswerWithErrorAndChangeNothing)
{
    const std::vector<std::pair<std::string, std::vector<std::pair<char, std::string>>>> refused = {
        {"/roomdesk/Mixer/volume", {{'s', "loud"}}},          {"/roomdesk/Mixer/volume", {{'f', "nan"}}},
        {"/roomdesk/Mixer/volume", {{'f', "inf"}}},           {"/roomdesk/Mixer/volume", {{'N', ""}}},
        {"/roomdesk/Mixer/volume", {{'f', "1"}, {'f', "2"}}}, {"/roomdesk/Mixer/voicing", {{'s', "Maybe"}}},
        {"/roomdesk/Mixer/nickname", {{'i', "3"}}},           {"/roomdesk/Mixer/locked", {{'f', "1"}}},
        {"/roomdesk/Mixer/sleeping", {{'f', "1"}}},           {"/roomdesk/Mixer/hasItems", {{'i', "1"}}},
    };
    for (const auto& [address, args] : refused)
    {
        expectError(desk.send(address, args), address);
        EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -10.0) << address;
    }
    EXPECT_TRUE(mixer->changes.empty());
    EXPECT_TRUE(mixer->edits.empty());
    EXPECT_EQ(mixer->findParameter("voicing")->getValue().asInt(), 0);
    EXPECT_EQ(mixer->findParameter("nickname")->toString(), "Left");
}

TEST_F(OscDesk, AddressesResolveByLiteralNamesOnly)
{
    for (const char* unknown : {"/roomdesk/Mixer/volum", "/roomdesk/mixer/volume", "/roomdesk/*/volume",
                                "/roomdesk/Mixer/vol*", "/roomdesk/Mixer/load", "/other/Mixer/volume",
                                "/roomdeskMixer/volume", "/speaker/123456789/line/ch1/volume", "/speaker"})
        expectError(desk.send(unknown), unknown);
    // Pattern characters are characters of names.
    auto literal = desk.send("/roomdesk/Mixer/load*?");
    ASSERT_EQ(literal.size(), 1u);
    EXPECT_EQ(literal[0].path, "/roomdesk/Mixer/load*?");
    // A component is listed, not queried.
    expectError(desk.send("/roomdesk/Mixer/Hall_{0A1B}"), "/roomdesk/Mixer/Hall_{0A1B}");
}

TEST_F(OscDesk, CommandsRunWithAnyOrNoArgumentAndSayWhenTheyCannot)
{
    auto reply = desk.send("/roomdesk/Mixer/volumeUp");
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].path, "/roomdesk/Mixer/volumeUp");
    EXPECT_EQ(reply[0].types, "i");
    desk.send("/roomdesk/Mixer/volumeUp", {{'f', "0"}});
    desk.send("/roomdesk/Mixer/volumeUp", {{'s', "now"}});
    EXPECT_EQ(mixer->invoked, 3);

    mixer->available = false;
    expectError(desk.send("/roomdesk/Mixer/volumeUp"), "/roomdesk/Mixer/volumeUp");
    EXPECT_EQ(mixer->invoked, 3);
    // A command has no value to watch.
    expectError(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/volumeUp"}}), "/roomdesk/Mixer/volumeUp");
}

TEST_F(OscDesk, MalformedPacketsAreAnsweredNotTrusted)
{
    expectError(desk.sendBytes({}), "");
    std::vector<char> bundle = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};
    expectError(desk.sendBytes(bundle), "#bundle");
    std::vector<char> good = OscTest::encode("/roomdesk/Mixer/volume", {{'f', "1"}});
    std::vector<char> cut(good.begin(), good.end() - 2);
    auto replies = desk.sendBytes(cut);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].path, "/error");
    std::vector<char> unterminated(40, 'a');
    unterminated[0] = '/';
    ASSERT_EQ(desk.sendBytes(unterminated).size(), 1u);
    expectError(desk.send("/subscribe"), "/subscribe");
    expectError(desk.send("/list", {{'i', "1"}}), "/list");
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -10.0);
}

TEST_F(OscDesk, ListShowsChildrenParametersAndProperties)
{
    auto reply = desk.send("/list", {{'s', "/roomdesk/Mixer"}});
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].path, "/list");
    ASSERT_FALSE(reply[0].args.empty());
    EXPECT_EQ(reply[0].args[0], "/roomdesk/Mixer");
    std::vector<std::string> names(reply[0].args.begin() + 1, reply[0].args.end());
    for (const char* expected : {"Hall_{0A1B}/", "volume", "volumeUp", "load*?", "name"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;

    auto top = desk.send("/list", {{'s', "/roomdesk"}});
    ASSERT_EQ(top.size(), 1u);
    EXPECT_NE(std::find(top[0].args.begin(), top[0].args.end(), "Mixer/"), top[0].args.end());
    auto speakers = desk.send("/list", {{'s', "/speaker"}});
    ASSERT_EQ(speakers.size(), 1u);
    EXPECT_EQ(speakers[0].args, std::vector<std::string>{"/speaker"}); // none on this desk
    expectError(desk.send("/list", {{'s', "/roomdesk/Mixer/volume"}}), "/roomdesk/Mixer/volume");
}

TEST_F(OscDesk, SubscriberHearsEveryChangeAtOnceAndOnlyRealOnes)
{
    auto first = desk.send("/subscribe", {{'s', "/roomdesk/Mixer/volume"}});
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].path, "/roomdesk/Mixer/volume");

    mixer->volume->setValue(Tessel::Variant(-4.0), true);
    auto change = desk.take(); // no loop turn needed
    ASSERT_EQ(change.size(), 1u);
    EXPECT_FLOAT_EQ(change[0].number, -4.0f);

    mixer->volume->setValue(Tessel::Variant(-4.0), true); // the same value again
    mixer->volume->enable(false);                         // "changed", but not the value
    EXPECT_TRUE(desk.take().empty());

    // A set by text from someone else arrives once with its result, not with the scan's steps.
    mixer->volume->enable(true);
    const size_t before = desk.recipients.size();
    auto replies = desk.send("/roomdesk/Mixer/volume", {{'s', "-2"}}, "127.0.0.1:50001");
    ASSERT_EQ(replies.size(), 2u);
    ASSERT_EQ(desk.recipients.size(), before + 2);
    EXPECT_EQ(desk.recipients[before], "127.0.0.1:50000"); // the watch
    EXPECT_FLOAT_EQ(replies[0].number, -2.0f);
    EXPECT_EQ(desk.recipients[before + 1], "127.0.0.1:50001"); // the answer to the set
    EXPECT_FLOAT_EQ(replies[1].number, -2.0f);

    desk.send("/unsubscribe", {{'s', "/roomdesk/Mixer/volume"}});
    mixer->volume->setValue(Tessel::Variant(-1.0), true);
    EXPECT_TRUE(desk.take().empty());
    EXPECT_EQ(desk.desk.countLeases(), 0u);
}

TEST_F(OscDesk, PropertiesAreWatchedThroughTheirComponent)
{
    desk.send("/subscribe", {{'s', "/roomdesk/Mixer/hasItems"}});
    mixer->setHasItems(1);
    auto change = desk.take();
    ASSERT_EQ(change.size(), 1u);
    EXPECT_EQ(change[0].integer, 1);
    mixer->propertyChanged("title"); // another property
    EXPECT_TRUE(desk.take().empty());
}

TEST_F(OscDesk, LeasesRunOutTenSecondsAfterTheLastRenewal)
{
    desk.send("/subscribe", {{'s', "/roomdesk/Mixer/volume"}});
    platform.advance(9000);
    EXPECT_TRUE(desk.send("/renew", {{'s', "/roomdesk/Mixer/volume"}}).empty());
    platform.advance(9000);
    mixer->volume->setValue(Tessel::Variant(-5.0), true);
    EXPECT_EQ(desk.take().size(), 1u);

    platform.advance(1100); // 10.1 s after the renewal
    EXPECT_EQ(desk.desk.countLeases(), 0u);
    mixer->volume->setValue(Tessel::Variant(-6.0), true);
    EXPECT_TRUE(desk.take().empty());
    // A renewal after the end makes the lease anew and answers at once.
    EXPECT_EQ(desk.send("/renew", {{'s', "/roomdesk/Mixer/volume"}}).size(), 1u);
}

TEST_F(OscDesk, EachSenderWatchesAtMostSixtyFourAddresses)
{
    for (int i = 0; i < 64; ++i)
    {
        std::string name = "p" + std::to_string(i);
        mixer->getParams().addFloat(0, 1, name, 100 + i);
        ASSERT_EQ(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/" + name}})[0].path,
                  "/roomdesk/Mixer/" + name);
    }
    // Subscribing again to a held address is a renewal, not a new lease.
    EXPECT_EQ(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/p0"}})[0].path, "/roomdesk/Mixer/p0");
    expectError(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/volume"}}), "/roomdesk/Mixer/volume");
    EXPECT_EQ(desk.desk.countLeases("127.0.0.1:50000"), 64u);
    // Another sender has leases of its own.
    EXPECT_EQ(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/volume"}}, "127.0.0.1:50002")[0].path,
              "/roomdesk/Mixer/volume");
}

TEST_F(OscDesk, WatchOfSomethingThatGoesStaysSilent)
{
    Tessel::Component* hall = mixer->findChild("Hall_{0A1B}");
    hall->getParams().addFloat(0, 1, "level", 1);
    desk.send("/subscribe", {{'s', "/roomdesk/Mixer/Hall_{0A1B}/level"}});
    mixer->removeChild(hall); // the component and its parameter go
    platform.advance(100);
    EXPECT_TRUE(desk.take().empty());
    // Renewing what no longer exists says so and ends the lease.
    expectError(desk.send("/subscribe", {{'s', "/roomdesk/Mixer/Hall_{0A1B}/level"}}),
                "/roomdesk/Mixer/Hall_{0A1B}/level");
    EXPECT_EQ(desk.desk.countLeases(), 0u);
}

} // namespace
