#include "protocol/MessageNames.h"
#include "protocol/ParamPackets.h"
#include "tests/tarnsim/SimulatorProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace TestSupport;
using namespace Vellaris::LK;
using Core::Portable::Attributes;

namespace
{

constexpr Milliseconds kStartLimit(10000);

const Attributes* channelValues(const MessageAttributes& sync)
{
    const Attributes* children = sync.getAttributes(Message::kChildren);
    const Attributes* line = children ? children->getAttributes("line") : nullptr;
    const Attributes* lineChildren = line ? line->getAttributes(Message::kChildren) : nullptr;
    const Attributes* ch1 = lineChildren ? lineChildren->getAttributes("ch1") : nullptr;
    return ch1 ? ch1->getAttributes(Message::kValues) : nullptr;
}

// Subscribes a client and waits for its "SubscriptionReply".
bool subscribeAndWait(TestClient& client, int server)
{
    client.subscribe(server);
    return pumpUntil([&] { return !client.messages(Message::kSubscriptionReply).empty(); }, kStartLimit);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(SimulatorProgram, AnnouncesTheChosenModelAndSerial)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess exact({"TX40S"});
    SimulatorProcess wrongCase({"tx40s"});
    auto server = watcher.waitFor("TX40S", kStartLimit);
    ASSERT_TRUE(server) << exact.output();
    EXPECT_EQ(server->serial, "666666666");
    EXPECT_EQ(server->type, "SPK");
    auto fallback = watcher.waitFor("TX10A", kStartLimit);
    ASSERT_TRUE(fallback) << wrongCase.output();
    EXPECT_EQ(fallback->serial, "123456789");
    EXPECT_TRUE(exact.waitForOutput("[lknet] Checking arguments...\n", kStartLimit));
    EXPECT_EQ(exact.output().find("defaulting"), std::string::npos);
    EXPECT_TRUE(wrongCase.waitForOutput(
        "[lknet] Checking arguments...\n[lknet] No speaker specified in args list, defaulting to TX10A\n",
        kStartLimit))
        << wrongCase.output();
    EXPECT_NE(exact.output().find("Tarnsim launced ()..."), std::string::npos);
}

TEST(SimulatorProgram, AnnouncesTheSerialNumberOfTheEnvironmentWhenItIsUsable)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess own({"TX20A"}, "", {{"TARNSIM_SERIAL", "SN-0001.b_2"}});
    SimulatorProcess slash({"TX30A"}, "", {{"TARNSIM_SERIAL", "12/34"}});
    SimulatorProcess tooLong({"TX40S"}, "", {{"TARNSIM_SERIAL", std::string(33, '7')}});
    SimulatorProcess empty({"TX10A"}, "", {{"TARNSIM_SERIAL", ""}});
    auto named = watcher.waitFor("TX20A", kStartLimit);
    ASSERT_TRUE(named) << own.output();
    EXPECT_EQ(named->serial, "SN-0001.b_2");
    EXPECT_TRUE(own.waitForOutput("Serial number SN-0001.b_2\n", kStartLimit)) << own.output();

    // A serial number roomdesk could not name (a '/' splits its path) is never announced.
    auto refused = watcher.waitFor("TX30A", kStartLimit);
    ASSERT_TRUE(refused) << slash.output();
    EXPECT_EQ(refused->serial, "555555555");
    EXPECT_TRUE(slash.waitForOutput("TARNSIM_SERIAL is not a usable serial number, announcing 555555555\n",
                                    kStartLimit))
        << slash.output();
    auto cut = watcher.waitFor("TX40S", kStartLimit);
    ASSERT_TRUE(cut) << tooLong.output();
    EXPECT_EQ(cut->serial, "666666666");
    auto plain = watcher.waitFor("TX10A", kStartLimit);
    ASSERT_TRUE(plain) << empty.output();
    EXPECT_EQ(plain->serial, "123456789") << "an empty variable is no serial number";
    EXPECT_EQ(empty.output().find("TARNSIM_SERIAL"), std::string::npos);
}

TEST(SimulatorProgram, WithoutArgumentRunsTheDefaultModel)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess none({});
    auto server = watcher.waitFor("TX10A", kStartLimit);
    ASSERT_TRUE(server);
    EXPECT_TRUE(
        none.waitForOutput("[lknet] No speaker specified in args list, defaulting to TX10A\n", kStartLimit));
    EXPECT_EQ(none.output().find("Checking arguments..."), std::string::npos);
    EXPECT_TRUE(none.waitForOutput("Load file \"" + none.settingsPath() + "\" completed\n", kStartLimit));
}

TEST(SimulatorProtocol, SubscribeBringsTheWholeStateThenTheReply)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX20A"});
    auto server = watcher.waitFor("TX20A", kStartLimit);
    ASSERT_TRUE(server);
    TestClient client;
    ASSERT_TRUE(subscribeAndWait(client, server->handle)) << sim.output();

    // The first JSON message is the full state, the reply comes after it.
    std::vector<std::string> order;
    for (const Received& packet : client.received)
    {
        if (packet.type() == lknet::kPacketZipMessage || packet.type() == lknet::kPacketJsonMessage)
            order.emplace_back(packet.message().messageId());
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], "Synchronize");
    EXPECT_EQ(order[1], "SubscriptionReply");
    EXPECT_EQ(client.ofType(lknet::kPacketZipMessage).size(), 1u);

    const MessageAttributes sync = client.messages(Message::kSynchronize).at(0);
    EXPECT_FALSE(sync.contains("Speaker"));
    const Attributes* strings = sync.getAttributes(Message::kStrings);
    ASSERT_TRUE(strings);
    EXPECT_EQ(strings->count(), 1);
    EXPECT_TRUE(strings->contains("contour"));
    EXPECT_FALSE(sync.contains(Message::kStates)) << "nothing is disabled";
    const Attributes* values = channelValues(sync);
    ASSERT_TRUE(values);
    EXPECT_TRUE(values->contains("mute"));
    EXPECT_FALSE(values->contains("contourdelay"));
    EXPECT_TRUE(sim.waitForOutput(" attached to server ", kStartLimit)) << sim.output();
}

TEST(SimulatorProtocol, ValuesAreEchoedToEverySubscriberAndPrivateOnesIgnored)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX30A"});
    auto server = watcher.waitFor("TX30A", kStartLimit);
    ASSERT_TRUE(server);
    TestClient sender, listener;
    ASSERT_TRUE(subscribeAndWait(sender, server->handle));
    ASSERT_TRUE(subscribeAndWait(listener, server->handle));

    sender.sendValue("line/ch1/delay", 0.25f);
    ASSERT_TRUE(pumpUntil(
        [&]
        { return !sender.values("line/ch1/delay").empty() && !listener.values("line/ch1/delay").empty(); },
        kStartLimit));
    EXPECT_EQ(listener.values("line/ch1/delay")[0]->as<ParamValuePacket>().normalized, 0.25f);
    EXPECT_EQ(sender.values("line/ch1/delay").size(), 1u);

    sender.sendValue("networkstatus", 1.0f);
    sender.sendValue("line/ch1/contourvolume", 1.0f);
    sender.sendValue("line/ch1/polarity", 1.0f); // a marker that follows them
    ASSERT_TRUE(pumpUntil([&] { return !listener.values("line/ch1/polarity").empty(); }, kStartLimit));
    EXPECT_TRUE(listener.values("networkstatus").empty());
    EXPECT_TRUE(sender.values("line/ch1/contourvolume").empty());
}

TEST(SimulatorProtocol, KeepAlivesHoldASubscriptionAndSilenceDropsIt)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX40S"});
    auto server = watcher.waitFor("TX40S", kStartLimit);
    ASSERT_TRUE(server);
    TestClient lively, silent;
    ASSERT_TRUE(subscribeAndWait(lively, server->handle));
    silent.subscribe(server->handle);
    const auto subscribed = Clock::now();
    auto lastKeepAlive = subscribed;
    const bool lost = pumpUntil(
        [&]
        {
            if (Clock::now() - lastKeepAlive >= Milliseconds(1500))
            {
                lively.sendKeepAlive();
                lastKeepAlive = Clock::now();
            }
            return !silent.messages(Message::kSubscriptionLost).empty();
        },
        Milliseconds(10000));
    ASSERT_TRUE(lost);
    const auto elapsed = std::chrono::duration_cast<Milliseconds>(Clock::now() - subscribed).count();
    EXPECT_GE(elapsed, 5900);
    EXPECT_LE(elapsed, 7800);
    EXPECT_TRUE(lively.messages(Message::kSubscriptionLost).empty());
    EXPECT_TRUE(sim.waitForOutput(" - TIMED OUT!\n", kStartLimit)) << sim.output();
}

TEST(SimulatorProtocol, FileRequestsAndMeters)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX10A"});
    auto server = watcher.waitFor("TX10A", kStartLimit);
    ASSERT_TRUE(server);
    TestClient client;
    client.connect(server->handle);

    FileDataPacket request; // a request with a word to copy back
    initHeader(request.header, lknet::kPacketFileRequest, 32, 0, 0);
    request.requestWord = 77;
    client.sendPacket(request.header);
    ASSERT_TRUE(pumpUntil([&] { return !client.ofType(lknet::kPacketFileData).empty(); }, kStartLimit));
    EXPECT_EQ(client.ofType(lknet::kPacketFileData)[0]->as<FileDataPacket>().status, 4);
    EXPECT_EQ(client.ofType(lknet::kPacketFileData)[0]->as<FileDataPacket>().requestWord, 77u);
    pumpFor(Milliseconds(200));
    EXPECT_TRUE(client.ofType(lknet::kPacketMetersByte).empty()) << "no meters before subscribing";

    ASSERT_TRUE(subscribeAndWait(client, server->handle));
    client.sendPacket(request.header);
    ASSERT_TRUE(pumpUntil([&] { return client.ofType(lknet::kPacketFileData).size() == 2; }, kStartLimit));
    EXPECT_EQ(client.ofType(lknet::kPacketFileData)[1]->as<FileDataPacket>().status, 3);

    ASSERT_TRUE(pumpUntil([&] { return client.ofType(lknet::kPacketMetersByte).size() >= 5; }, kStartLimit));
    for (const Received* meters : client.ofType(lknet::kPacketMetersByte))
        EXPECT_LE(meters->as<MeterPacket>().values[0], 25);

    client.sendValue("line/ch1/mute", 1.0f);
    ASSERT_TRUE(pumpUntil([&] { return !client.values("line/ch1/mute").empty(); }, kStartLimit));
    const size_t before = client.received.size();
    pumpFor(Milliseconds(300));
    int metersAfter = 0;
    for (size_t i = before; i < client.received.size(); ++i)
    {
        if (client.received[i].type() == lknet::kPacketMetersByte)
        {
            ++metersAfter;
            EXPECT_EQ(client.received[i].as<MeterPacket>().values[0], 0);
        }
    }
    EXPECT_GT(metersAfter, 0) << "meters keep coming at level 0";
}

TEST(SimulatorSettings, FileContentDecidesTheStartingState)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess muted({"TX10A"}, R"({"Speaker": {"line": {"ch1": {"mute": 1}}}})");
    SimulatorProcess mutedBool({"TX20A"},
                               R"({"Speaker": {"line": {"ch1": {"mute": true, "volume": null}}}})");
    SimulatorProcess bom({"TX30A"}, "\xEF\xBB\xBF{\"Speaker\": {\"line\": {\"ch1\": {\"mute\": 1}}}}");
    struct Case
    {
        const char* model;
        double mute;
    } cases[] = {{"TX10A", 1.0}, {"TX20A", 1.0}, {"TX30A", 0.0}};
    for (const Case& c : cases)
    {
        auto server = watcher.waitFor(c.model, kStartLimit);
        ASSERT_TRUE(server) << c.model;
        TestClient client;
        ASSERT_TRUE(subscribeAndWait(client, server->handle)) << c.model;
        const MessageAttributes sync = client.messages(Message::kSynchronize).at(0);
        const Attributes* values = channelValues(sync);
        ASSERT_TRUE(values);
        EXPECT_EQ(values->getDouble("mute", -1), c.mute) << c.model;
        EXPECT_NEAR(values->getDouble("volume", -1), 84.0 / 94.0, 1e-6) << "null keeps the default";
        client.unsubscribe();
    }
}

TEST(SimulatorProgram, InterruptSavesTheStateAndExitsCleanly)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX40S"}, R"({"Other": [1, 2], "Speaker": {}})");
    auto server = watcher.waitFor("TX40S", kStartLimit);
    ASSERT_TRUE(server);
    {
        TestClient client;
        ASSERT_TRUE(subscribeAndWait(client, server->handle));
        ParamStringPacket text;
        buildStringPacket(text, 0, 0, "nickname", 0, "Joe's");
        client.sendPacket(text.base.header);
        ASSERT_TRUE(
            pumpUntil([&] { return !client.ofType(lknet::kPacketParamString).empty(); }, kStartLimit));
        client.unsubscribe();
        pumpFor(Milliseconds(100));
    }
    EXPECT_TRUE(sim.waitForOutput("Save file \"" + sim.settingsPath() + "\" completed\n", Milliseconds(9000)))
        << sim.output();

    const auto interrupted = Clock::now();
    sim.signal(SIGINT);
    EXPECT_EQ(sim.waitForExit(Milliseconds(10000)), 0) << sim.output();
    const auto took = std::chrono::duration_cast<Milliseconds>(Clock::now() - interrupted).count();
    EXPECT_GE(took, 2900);
    EXPECT_LE(took, 6000);
    const std::string output = sim.output();
    const size_t quit = output.find("Quit requested\n");
    ASSERT_NE(quit, std::string::npos) << output;
    EXPECT_NE(output.find("[lknet] Will exit in 3 seconds...\n", quit), std::string::npos);

    const std::string file = readFile(sim.settingsPath());
    EXPECT_EQ(file.rfind("{\r\n\t\"Other\": \r\n\t[\r\n", 0), 0u) << file.substr(0, 60);
    EXPECT_NE(file.find("\t\"Speaker\": \r\n\t{\r\n\t\t\"contour\": 0,\r\n"), std::string::npos);
    EXPECT_NE(file.find("\t\t\"nickname\": \"Joe\\'s\",\r\n"), std::string::npos);
    EXPECT_EQ(file.back(), '}');
}

TEST(SimulatorProgram, TerminateAlsoEndsInOrder)
{
    newDiscoveryScope();
    ServerWatcher watcher;
    SimulatorProcess sim({"TX30A"});
    ASSERT_TRUE(watcher.waitFor("TX30A", kStartLimit));
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.waitForExit(Milliseconds(10000)), 0);
    EXPECT_NE(sim.output().find("Quit requested"), std::string::npos);
    EXPECT_FALSE(readFile(sim.settingsPath()).empty());
}

TEST(SimulatorProgram, EndsWithMinusOneWhenTheNetworkCannotStart)
{
    newDiscoveryScope();
    // A socket on the discovery port without address reuse keeps the
    // simulator's network library from opening it.
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(blocker, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(discoveryPort() + 1));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    SimulatorProcess sim({"TX10A"}, std::string(),
                         {{"LKNET_DISCOVERY_PORT", std::to_string(discoveryPort() + 1)}});
    EXPECT_EQ(sim.waitForExit(Milliseconds(10000)), -1);
    ::close(blocker);
    const std::string output = sim.output();
    EXPECT_NE(output.find("[lknet] LK network manager startup failed!\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Checking arguments"), std::string::npos);
}
