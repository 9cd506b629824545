// The simulator's Wi-Fi: the networks it reports to each subscriber and the join request that
// takes it off the network and back.
#include "tarnsim/WifiSimulation.h"
#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "protocol/ParamPath.h"
#include "tarnsim/SpeakerComponent.h"
#include "tarnsim/StringParam.h"
#include "tests/protocol/FakeNetworkManager.h"
#include "tests/tarnsim/SimTestSupport.h"

#include <gtest/gtest.h>

using namespace Vellaris::LK;
using TestSupport::ReportCapture;
using Vellaris::Tarn::SpeakerComponent;
using Vellaris::Tarn::WifiSimulation;

namespace
{

constexpr uint32_t kSpeakerHandle = 7;

TEST(WifiEntries, SplitAtSemicolonsDroppingEmptyEntriesAndLineBreaks)
{
    EXPECT_EQ(WifiSimulation::parseEntries("Home<&#&>75<&#&>locked;;Cafe<&#&>40<&#&>open;"),
              (std::vector<std::string>{"Home<&#&>75<&#&>locked", "Cafe<&#&>40<&#&>open"}));
    EXPECT_EQ(WifiSimulation::parseEntries("Two\nLines<&#&>1<&#&>open"),
              (std::vector<std::string>{"TwoLines<&#&>1<&#&>open"}))
        << "a line feed would split the entry in two on the wire";
    EXPECT_TRUE(WifiSimulation::parseEntries("").empty());
    EXPECT_EQ(WifiSimulation::parseEntries(std::string(1000, 'x'))[0].size(),
              WifiSimulation::kMaxEntryLength);
}

TEST(WifiEntries, ListTextKeepsOnlyWholeEntriesThatFit)
{
    WifiSimulation wifi({"aaaa", "bbbb", "cccc"});
    EXPECT_EQ(wifi.listText(1024), "aaaa\nbbbb\ncccc");
    EXPECT_EQ(wifi.listText(10), "aaaa\nbbbb") << "9 bytes and the terminator";
    EXPECT_EQ(wifi.listText(9), "aaaa");
    EXPECT_EQ(wifi.listText(4), "");
}

TEST(WifiJoin, LeavesAtTheNextTickAndComesBackThreeSecondsLater)
{
    WifiSimulation wifi({"Home<&#&>75<&#&>locked"});
    std::vector<std::string> calls;
    WifiSimulation::Actions actions{[&] { calls.push_back("leave"); }, [&] { calls.push_back("rejoin"); }};
    wifi.tick(1000, actions);
    EXPECT_TRUE(calls.empty());

    EXPECT_EQ(wifi.requestChange("Stage\x01Net"), "Stage?Net");
    wifi.tick(1020, actions);
    EXPECT_EQ(calls, std::vector<std::string>{"leave"});
    EXPECT_TRUE(wifi.isAway());
    wifi.tick(1020 + WifiSimulation::kAwayMs - 1, actions);
    EXPECT_EQ(calls.size(), 1u);
    wifi.tick(1020 + WifiSimulation::kAwayMs, actions);
    EXPECT_EQ(calls, (std::vector<std::string>{"leave", "rejoin"}));
    EXPECT_FALSE(wifi.isAway());
    EXPECT_EQ(wifi.getCurrentSsid(), "Stage?Net");
}

TEST(WifiJoin, ARequestWhileAwayWaitsForTheReturnAndLeavesAgain)
{
    WifiSimulation wifi({"Home<&#&>75<&#&>locked"});
    std::vector<std::string> calls;
    WifiSimulation::Actions actions{[&] { calls.push_back("leave"); }, [&] { calls.push_back("rejoin"); }};
    wifi.requestChange("A");
    wifi.tick(0, actions);
    wifi.requestChange("B");
    wifi.tick(100, actions);
    EXPECT_EQ(calls.size(), 1u);
    wifi.tick(WifiSimulation::kAwayMs, actions);
    EXPECT_EQ(calls, (std::vector<std::string>{"leave", "rejoin", "leave"}));
}

TEST(WifiJoin, WithoutTheVariableNothingIsEnabled)
{
    WifiSimulation wifi;
    EXPECT_FALSE(wifi.isEnabled());
    EXPECT_EQ(wifi.requestChange("Home"), "");
    bool left = false;
    wifi.tick(10000, {[&] { left = true; }, {}});
    EXPECT_FALSE(left);
}

class SimulatedWifi : public ::testing::Test
{
protected:
    SimulatedWifi()
    {
        TestSupport::registerSimulatorFormatsOnce();
        speaker.server().setHandle(kSpeakerHandle);
        speaker.server().setClock([] { return int64_t(100000); });
    }
    void deliver(const MessageAttributes& message)
    {
        EncodedMessage encoded;
        ASSERT_TRUE(message.encode(encoded, MessageEncoding::Plain));
        speaker.server().handlePacket(static_cast<int>(kSpeakerHandle), encoded.packet());
    }
    void subscribe(uint32_t client) { deliver(MessageAttributes(Message::kSubscribe, client, kSpeakerHandle)); }
    void requestJoin(uint32_t client, const char* url, const char* ssid, const char* password)
    {
        MessageAttributes request(Message::kRequestNetworkChange, client, kSpeakerHandle);
        request.setText(Message::kUrl, url);
        request.setText(Message::kRequestNetworkSSID, ssid);
        request.setText(Message::kRequestNetworkPw, password);
        deliver(request);
    }
    std::string currentSsid()
    {
        return static_cast<Core::Portable::StringParam*>(speaker.findParameter("current_ssid"))->value();
    }

    ReportCapture reports;
    TestSupport::FakeNetworkManager network;
    SpeakerComponent speaker{&network, nullptr};
    WifiSimulation wifi{{"Home<&#&>75<&#&>locked", "A*B<&#&>20<&#&>open"}};
};

TEST_F(SimulatedWifi, EachNewSubscriberGetsTheNetworksAfterItsSynchronize)
{
    speaker.setWifi(&wifi);
    subscribe(21);
    ASSERT_EQ(network.sent.size(), 3u);
    EXPECT_EQ(network.sent[0].message().messageId(), "Synchronize");
    const auto& list = network.sent[2];
    ASSERT_EQ(list.type(), lknet::kPacketParamList);
    EXPECT_EQ(list.header().destination, 21u);
    EXPECT_EQ(receivedPath(&list.header()), "networklist");
    const auto& record = list.as<ParamListPacket>();
    EXPECT_EQ(readTextField(record.entries, sizeof(record.entries)),
              "Home<&#&>75<&#&>locked\nA*B<&#&>20<&#&>open");
}

TEST_F(SimulatedWifi, WithoutWifiASubscriberGetsNoNetworksAndJoinRequestsAreIgnored)
{
    subscribe(21);
    EXPECT_EQ(network.sent.size(), 2u);
    requestJoin(21, "Speaker", "Home", "pw");
    EXPECT_EQ(currentSsid(), "");
    EXPECT_EQ(reports.lines().size(), 1u) << "only the subscription line";
}

TEST_F(SimulatedWifi, AJoinRequestNamesTheNetworkNeverThePasswordAndSetsCurrentSsid)
{
    speaker.setWifi(&wifi);
    subscribe(21);
    requestJoin(21, "Speaker", "Home", "hunter2-secret");
    EXPECT_EQ(currentSsid(), "Home");
    ASSERT_EQ(reports.lines().size(), 2u);
    EXPECT_NE(reports.lines()[1].find("\"Home\""), std::string::npos) << reports.lines()[1];
    for (const std::string& line : reports.lines())
        EXPECT_EQ(line.find("hunter2"), std::string::npos) << line;
    bool left = false;
    wifi.tick(0, {[&] { left = true; }, {}});
    EXPECT_TRUE(left);
}

TEST_F(SimulatedWifi, JoinRequestsFromStrangersOrToOtherComponentsAreIgnored)
{
    speaker.setWifi(&wifi);
    requestJoin(33, "Speaker", "Home", "pw");
    subscribe(21);
    requestJoin(21, "Elsewhere", "Home", "pw");
    EXPECT_EQ(currentSsid(), "");
    EXPECT_FALSE(wifi.isAway());
    bool left = false;
    wifi.tick(0, {[&] { left = true; }, {}});
    EXPECT_FALSE(left);
}

} // namespace
