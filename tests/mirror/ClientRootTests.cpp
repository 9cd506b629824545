#include "core/AttributeQueue.h"
#include "protocol/MessageNames.h"
#include "protocol/PacketRecords.h"
#include "protocol/ParamPackets.h"
#include "tessel/MenuParam.h"
#include "tests/mirror/MirrorTestSupport.h"

#include <gmock/gmock.h>

#include <cmath>

using namespace MirrorTest;
using namespace Vellaris::LK;
using ::testing::ElementsAre;

namespace
{

class ClientRoot : public MirrorFixture
{
protected:
    void SetUp() override
    {
        root->connect(kServer);
        network.clear();
    }
};

} // namespace

TEST(ClientRootIdentity, SubscribesWithTheComputersIdentityAfterSwitchingTheConnectionOn)
{
    Tessel::HeadlessPlatform platform;
    platform.setComputerName("Büro-PC");
    platform.setComputerInfo("Tower 9", "{1234}");
    FakeNetwork network;
    Tessel::AutoPtr<TestRoot> root = new TestRoot(network, "");
    EXPECT_EQ(root->getClient(), FakeNetwork::kClientHandle);
    root->connect(kServer);

    ASSERT_THAT(network.events, ElementsAre("setConnection 7 3 1", "send JM Subscribe"));
    const MessageAttributes& subscribe = network.sent[0].message;
    ASSERT_EQ(subscribe.count(), 5);
    EXPECT_EQ(subscribe.at(1).name(), "clientName");
    EXPECT_EQ(subscribe.at(2).name(), "clientType");
    EXPECT_EQ(subscribe.at(3).name(), "clientDescription");
    EXPECT_EQ(subscribe.at(4).name(), "clientIdentifier");
    EXPECT_EQ(subscribe.getText("clientType"), "Tower 9");
    EXPECT_EQ(subscribe.getText("clientDescription"), "B?ro-PC");
    EXPECT_EQ(subscribe.getText("clientIdentifier"), "{1234}");
    EXPECT_FALSE(subscribe.getText("clientName").empty());
    EXPECT_EQ(network.sent[0].source, 7u);
    EXPECT_EQ(network.sent[0].destination, 3u);
    EXPECT_TRUE(root->isSubscribed());
}

TEST_F(ClientRoot, DisconnectSwitchesOffBeforeUnsubscribingThenCancelsTransfers)
{
    root->disconnect(true);
    EXPECT_THAT(network.events, ElementsAre("setConnection 7 3 0", "send JM Unsubscribe", "cancel 7 0"));
    EXPECT_EQ(root->getServer(), 0);
    EXPECT_FALSE(root->isSubscribed());
}

TEST_F(ClientRoot, DisconnectWithoutUnsubscribeSendsNothingButCancelsTransfers)
{
    root->disconnect(false);
    EXPECT_THAT(network.events, ElementsAre("cancel 7 0"));
    EXPECT_EQ(root->getServer(), 0);
    // Nothing goes to a speaker that is gone: neither changes nor keep-alives.
    param("Speaker/gain")->setValue(3.0);
    platform.advance(3000);
    root->onIdle();
    EXPECT_THAT(network.events, ElementsAre("cancel 7 0"));
}

TEST_F(ClientRoot, KeepAliveGoesOutWhenMoreThan1499MsPassed)
{
    root->onIdle();
    platform.setTime(kStart + 1499);
    root->onIdle();
    EXPECT_EQ(network.ofType(lknet::kPacketKeepAlive).size(), 1u);
    platform.setTime(kStart + 1500);
    root->onIdle();
    ASSERT_EQ(network.ofType(lknet::kPacketKeepAlive).size(), 2u);
    EXPECT_EQ(network.sent.back().destination, 3u);
    EXPECT_EQ(root->getLastKeepAlive(), kStart + 1500);
}

TEST_F(ClientRoot, SubscriptionLostSubscribesAgainAtOnce)
{
    MessageAttributes lost(Message::kSubscriptionLost);
    deliverMessage(lost);
    EXPECT_THAT(network.events, ElementsAre("setConnection 7 3 1", "send JM Subscribe"));
    MessageAttributes reply(Message::kSubscriptionReply);
    deliverMessage(reply);
    EXPECT_EQ(network.events.size(), 2u);
}

TEST_F(ClientRoot, IncomingPathsGainTheSpeakerLevelAndOutgoingOnesLoseIt)
{
    deliverValue("gain", 0.75f);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), 5.0);
    deliverValue("Speaker/gain", 0.0f); // not a path the speaker uses
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), 5.0);
    EXPECT_TRUE(network.sent.empty()) << "incoming values are not sent back";

    param("Speaker/ch1/level")->setValue(0.25);
    param("Speaker/name")->fromString("Stage left");
    param("Speaker/tint")->setValue(0xFF102030u);
    ASSERT_EQ(network.sent.size(), 3u);
    EXPECT_EQ(network.sent[0].path, "ch1/level");
    EXPECT_FLOAT_EQ(network.sent[0].normalized, 0.25f);
    EXPECT_EQ(network.sent[1].type, lknet::kPacketParamString);
    EXPECT_EQ(network.sent[1].path, "name");
    EXPECT_EQ(network.sent[1].text, "Stage left");
    EXPECT_EQ(network.sent[2].type, lknet::kPacketParamColor);
    EXPECT_EQ(network.sent[2].color, 0xFF102030u);
}

TEST_F(ClientRoot, PrivateParametersAreNeverSentNorSet)
{
    param("Speaker/hidden")->setValue(0.5);
    param("Speaker/hidden")->preview({Tessel::ParamPreviewEvent::kDragValue, 0.7});
    EXPECT_TRUE(network.sent.empty());
    deliverValue("hidden", 1.0f);
    EXPECT_DOUBLE_EQ(param("Speaker/hidden")->getValue().asDouble(), 0.5);
}

TEST_F(ClientRoot, FloatValuesAreHeldOffForOneSecondAfterRelease)
{
    Tessel::IParameter* gain = param("Speaker/gain");
    gain->beginEdit();
    gain->endEdit();
    platform.setTime(kStart + 999);
    deliverValue("gain", 1.0f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), -10.0);
    platform.setTime(kStart + 1000);
    deliverValue("gain", 1.0f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), 10.0);

    // Other types are not held off after release.
    Tessel::IParameter* count = param("Speaker/count");
    count->beginEdit();
    count->endEdit();
    deliverValue("count", 0.13f);
    EXPECT_EQ(count->getValue().asInt(), 13) << "whole numbers survive the normalised float";
}

// The speaker echoes each change in the order it applied them; a missing echo (a value the speaker
// held already, or one it refused) must not hold the speaker's own news off for long.
TEST_F(ClientRoot, OnlyTheEchoOfAnEarlierValueIsHeldBackWhileALaterOneIsOnItsWay)
{
    Tessel::IParameter* gain = param("Speaker/gain");
    gain->setValue(5.0); // 0.75
    gain->setValue(7.0); // 0.85
    deliverValue("gain", 0.75f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), 7.0);
    deliverValue("gain", 0.85f);
    EXPECT_FLOAT_EQ(float(gain->getValue().asDouble()), 7.0f);
    deliverValue("gain", 0.75f); // nothing awaited: another desk's change
    EXPECT_FLOAT_EQ(float(gain->getValue().asDouble()), 5.0f);

    gain->setValue(0.0);         // 0.5, never echoed
    gain->setValue(2.0);         // 0.6
    deliverValue("gain", 0.25f); // none of the desk's values
    EXPECT_FLOAT_EQ(float(gain->getValue().asDouble()), -5.0f);

    gain->setValue(4.0); // 0.7, never echoed
    gain->setValue(6.0); // 0.8, never echoed
    platform.advance(ChangesInFlight::kEchoWaitMs);
    root->onIdle();
    deliverValue("gain", 0.7f); // long after: the speaker's own news
    EXPECT_FLOAT_EQ(float(gain->getValue().asDouble()), 4.0f);
}

TEST_F(ClientRoot, ValuesForADraggedParameterAreIgnoredWhateverItsType)
{
    for (const char* name : {"gain", "mode", "count"})
    {
        Tessel::IParameter* dragged = param(std::string("Speaker/") + name);
        const Tessel::Variant before = dragged->getValue();
        dragged->beginEdit();
        deliverValue(name, 1.0f);
        EXPECT_EQ(dragged->getValue(), before) << name;
        dragged->endEdit();
    }
}

TEST_F(ClientRoot, RecentlyReleasedKeepsTheLastFiveMovingRepeatsToTheEnd)
{
    const char* names[] = {"gain", "mode", "count", "name", "tint", "ch1/level"};
    for (const char* name : names)
    {
        param(std::string("Speaker/") + name)->beginEdit();
        param(std::string("Speaker/") + name)->endEdit();
    }
    auto listed = [&]
    {
        std::vector<std::string> result;
        for (const auto& entry : root->getRecentlyReleased())
            result.push_back(entry.param->getName());
        return result;
    };
    EXPECT_THAT(listed(), ElementsAre("mode", "count", "name", "tint", "level"));
    platform.setTime(kStart + 10);
    param("Speaker/count")->beginEdit();
    param("Speaker/count")->endEdit();
    EXPECT_THAT(listed(), ElementsAre("mode", "name", "tint", "level", "count"));
    EXPECT_EQ(root->getRecentlyReleased().back().ticks, kStart + 10);
}

TEST_F(ClientRoot, DragPreviewSendsTheValueButLeavesTheParameter)
{
    Tessel::IParameter* gain = param("Speaker/gain");
    gain->beginEdit();
    gain->preview({Tessel::ParamPreviewEvent::kDragValue, 5.0});
    EXPECT_FALSE(gain->isFlag(Tessel::ParamFlags::kEditing));
    ASSERT_EQ(network.sent.size(), 1u);
    EXPECT_EQ(network.sent[0].path, "gain");
    EXPECT_FLOAT_EQ(network.sent[0].normalized, 0.75f);
    EXPECT_DOUBLE_EQ(gain->getValue().asDouble(), -10.0);
}

TEST_F(ClientRoot, MenuPreviewAsksTheSpeakerAndItsAnswerRoutesPicksBack)
{
    // A text parameter with a menu, below the speaker level.
    auto* speaker = root->findChild("Speaker");
    Tessel::MenuParam* menu = speaker->getParams().addMenu("preset", 9);
    menu->setFlag(Tessel::ParamFlags::kPublic, true);
    menu->setMenu({{"Warm", "Voicing", "Warm"}}, nullptr);

    menu->preview({Tessel::ParamPreviewEvent::kText, 0});
    ASSERT_EQ(network.ofType(lknet::kPacketJsonMessage, Message::kUpdateMenu).size(), 1u);
    EXPECT_EQ(network.sent[0].message.getText(Message::kParamName), "preset");

    MessageAttributes update(Message::kUpdateMenu);
    update.setText(Message::kParamName, "preset");
    deliverMessage(update);
    ASSERT_NE(menu->getMenuHandler(), nullptr);
    network.clear();
    EXPECT_TRUE(menu->invokeMenuItem(0, true));
    EXPECT_TRUE(network.sent.empty()) << "a check-only pick sends nothing";
    EXPECT_TRUE(menu->invokeMenuItem(0));
    ASSERT_EQ(network.sent.size(), 1u);
    const MessageAttributes& invoke = network.sent[0].message;
    EXPECT_EQ(invoke.messageId(), Message::kInvokeMenu);
    EXPECT_EQ(invoke.getText(Message::kParamName), "preset");
    EXPECT_EQ(invoke.getText(Message::kCommandCategory), "Voicing");
    EXPECT_EQ(invoke.getText(Message::kCommandName), "Warm");
}

TEST_F(ClientRoot, RangeAndListPacketsReplaceRangeAndEntries)
{
    ParamRangePacket range;
    buildRangePacket(range, kServer, 7, "ch1/level", 0, 0.5f, -20.f, 20.f, 0.f, 3.f, "", "");
    root->handlePacket(7, &range.base.header);
    Tessel::IParameter* level = param("Speaker/ch1/level");
    EXPECT_DOUBLE_EQ(level->getMin().asDouble(), -20.0);
    EXPECT_DOUBLE_EQ(level->getMax().asDouble(), 20.0);
    EXPECT_DOUBLE_EQ(level->getDefaultValue().asDouble(), 3.0);
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), 0.0);

    ParamListPacket list;
    buildListPacket(list, kServer, 7, "ch1/choices", 0, 1.0f, "North\nSouth\nEast\nWest");
    root->handlePacket(7, &list.base.header);
    Tessel::IParameter* choices = param("Speaker/ch1/choices");
    ASSERT_EQ(choices->countEntries(), 4);
    EXPECT_EQ(choices->getEntry(3), "West");
    EXPECT_EQ(choices->toString(), "West");
}

TEST_F(ClientRoot, FileTransferPacketsGoToTheTransferManager)
{
    lknet::Packet ack;
    initHeader(ack, lknet::kPacketFileAck, sizeof(ack), kServer, 7);
    EXPECT_EQ(root->handlePacket(7, &ack), 5);
    lknet::Packet other;
    initHeader(other, kPacketDebug, sizeof(other), kServer, 7);
    EXPECT_EQ(root->handlePacket(7, &other), 0);
    EXPECT_THAT(network.events, ElementsAre("transfer FA"));
}

TEST_F(ClientRoot, ImpossibleRangesAndValuesFromTheNetworkAreDropped)
{
    Tessel::IParameter* level = param("Speaker/ch1/level");
    level->setValue(0.5, false);
    ParamRangePacket range;
    buildRangePacket(range, kServer, 7, "ch1/level", 0, 0.0f, 5.f, -5.f, 0.f, 0.f, "", "");
    root->handlePacket(7, &range.base.header);
    EXPECT_DOUBLE_EQ(level->getMax().asDouble(), 1.0);
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), 0.5);

    deliverValue("ch1/level", std::nanf(""));
    EXPECT_DOUBLE_EQ(level->getValue().asDouble(), 0.5);

    // A list packet for a parameter that is no list leaves it alone.
    ParamListPacket list;
    buildListPacket(list, kServer, 7, "gain", 0, 1.0f, "a\nb");
    root->handlePacket(7, &list.base.header);
    EXPECT_DOUBLE_EQ(param("Speaker/gain")->getValue().asDouble(), -10.0);
}

TEST_F(ClientRoot, AnUpdateMenuWithEntriesReplacesThemAndPicksGoOutAsAscii)
{
    auto* speaker = root->findChild("Speaker");
    Tessel::MenuParam* menu = speaker->getParams().addMenu("preset", 9);
    menu->setFlag(Tessel::ParamFlags::kPublic, true);
    menu->setMenu({{"Old", "Voicing", "Old"}, {"Older", "Voicing", "Older"}}, nullptr);

    MessageAttributes update(Message::kUpdateMenu);
    update.setText(Message::kParamName, "preset");
    Core::Portable::AttributeQueue& items = update.setQueue(Message::kMenuItems);
    for (const char* title : {"Wärm", "Bright"})
    {
        Core::Portable::Attributes& item = items.append().makeAttributes();
        item.setText(Message::kTitle, title);
        item.setText(Message::kCommandCategory, "Voicing");
        item.setText(Message::kCommandName, std::string(title) + " ✓");
    }
    items.append().setInt64(5); // not an entry: skipped
    deliverMessage(update);

    ASSERT_EQ(menu->getMenuItems().size(), 2u) << "the speaker's entries, not the old ones";
    EXPECT_EQ(menu->getMenuItems()[0].title, "Wärm");
    EXPECT_EQ(menu->getMenuItems()[1].name, "Bright ✓");
    network.clear();
    EXPECT_TRUE(menu->invokeMenuItem(0));
    ASSERT_EQ(network.sent.size(), 1u);
    const MessageAttributes& invoke = network.sent[0].message;
    EXPECT_EQ(invoke.messageId(), Message::kInvokeMenu);
    EXPECT_EQ(invoke.getText(Message::kCommandCategory), "Voicing");
    EXPECT_EQ(invoke.getText(Message::kCommandName), "W?rm ?") << "ASCII like every text the desk sends";

    // An empty list empties the menu; picks then find nothing to send.
    MessageAttributes empty(Message::kUpdateMenu);
    empty.setText(Message::kParamName, "preset");
    empty.setQueue(Message::kMenuItems);
    deliverMessage(empty);
    EXPECT_TRUE(menu->getMenuItems().empty());
    network.clear();
    EXPECT_FALSE(menu->invokeMenuItem(0));
    EXPECT_TRUE(network.sent.empty());
}

// A speaker repeats values under few paths, and the root remembers where they lead; a parameter
// that left the tree (replaced, or its component gone) must not keep taking them.
TEST_F(ClientRoot, RepeatedPathsFollowTheTreeWhenParametersAreReplacedOrRemoved)
{
    deliverValue("ch1/level", 0.25f);
    EXPECT_FLOAT_EQ(float(param("Speaker/ch1/level")->getValue().asDouble()), 0.25f);

    Tessel::Component* channel = root->lookupChild("Speaker/ch1");
    Tessel::IParameter* old = param("Speaker/ch1/level");
    Tessel::SharedPtr<Tessel::IParameter> keptOld(old);
    Tessel::Parameter* replacement = Tessel::Parameter::createFloat(0, 1, "level");
    replacement->setFlag(Tessel::ParamFlags::kPublic, true);
    ASSERT_TRUE(channel->getParams().replace(old, replacement));

    deliverValue("ch1/level", 0.75f);
    EXPECT_FLOAT_EQ(float(param("Speaker/ch1/level")->getValue().asDouble()), 0.75f);
    EXPECT_FLOAT_EQ(float(keptOld->getValue().asDouble()), 0.25f) << "the replaced one took the value";

    deliverValue("ch1/level", 0.5f);
    Tessel::SharedPtr<Tessel::Component> keptChannel(channel);
    Tessel::IParameter* level = param("Speaker/ch1/level");
    ASSERT_TRUE(root->lookupChild("Speaker")->removeChild(channel));
    deliverValue("ch1/level", 1.0f); // nowhere to go now
    EXPECT_FLOAT_EQ(float(level->getValue().asDouble()), 0.5f);
    EXPECT_EQ(root->findWireParameter("ch1/level"), nullptr);

    // Another wire form gives the same wire path another meaning.
    deliverValue("gain", 0.75f);
    EXPECT_EQ(root->findWireParameter("gain"), param("Speaker/gain"));
    root->disconnect(false);
    root->connect(kServer + 1);
    EXPECT_EQ(root->findWireParameter("gain"), param("Speaker/gain"));
}
