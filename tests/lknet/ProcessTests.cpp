// lknet between separate processes on one host, each test in a discovery
// scope of its own.

#include <signal.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "PeerProcess.h"
#include "Recorder.h"

namespace lknet::test
{
namespace
{

class LknetProcesses : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useOwnDiscoveryScope();
        ASSERT_EQ(net->startup(), 0);
        net->addNetworkListener(&me);
        net->addErrorReporter(&me);
        ASSERT_EQ(net->registerClient(&client, &me), 0);
    }
    void TearDown() override { net->shutdown(); }

    std::unique_ptr<PeerProcess> startServer(const std::string& serial)
    {
        auto peer = std::make_unique<PeerProcess>(std::vector<std::string>{"server", "TX40S", serial});
        EXPECT_TRUE(peer->waitForLine("READY", 5000));
        return peer;
    }
    int awaitServer(const std::string& serial)
    {
        pumpUntil([&] { return me.serverWithSerial(serial) != 0; }, 3000);
        return me.serverWithSerial(serial);
    }

    INetworkManager* net = LKGetNetworkManager();
    Recorder me;
    int client = 0;
};

TEST_F(LknetProcesses, ServersAndClientsInSeparateProcessesAllFindEachOther)
{
    std::vector<std::unique_ptr<PeerProcess>> servers, clients;
    for (const char* serial : {"111", "222", "333"})
        servers.push_back(startServer(serial));
    for (int i = 0; i < 2; ++i)
    {
        clients.push_back(std::make_unique<PeerProcess>(std::vector<std::string>{"client"}));
        ASSERT_TRUE(clients.back()->waitForLine("READY", 5000));
    }
    for (const char* serial : {"111", "222", "333"})
    {
        int handle = awaitServer(serial);
        ASSERT_NE(handle, 0) << serial;
        DeviceInfo info;
        ASSERT_EQ(net->getDeviceInfo(&info, handle), 0);
        EXPECT_STREQ(info.address, "127.0.0.1");
        EXPECT_NE(info.port, 0);
        for (auto& c : clients)
            EXPECT_TRUE(c->waitForLine("AVAILABLE", 3000));
    }
    EXPECT_EQ(me.available.size(), 3u); // one report per server, however heard
    for (auto& c : clients)
        EXPECT_FALSE(c->waitForLine("AVAILABLE", 300));
}

TEST_F(LknetProcesses, OrderlyQuitIsNoticedAtOnce)
{
    auto server = startServer("555");
    int handle = awaitServer("555");
    ASSERT_NE(handle, 0);
    ASSERT_EQ(net->setConnection(client, handle, 1, 0), 0);
    ASSERT_EQ(sendText(client, handle, "hello"), 0);
    ASSERT_TRUE(pumpUntil([&] { return me.receivedText("hello"); }, 3000));
    server->send("quit");
    EXPECT_TRUE(pumpUntil([&] { return me.gone(handle); }, 1000));
    EXPECT_EQ(server->waitExit(3000), 0);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 0); // a goodbye is no error
}

TEST_F(LknetProcesses, KilledServerIsNoticedAtOnceThroughItsConnection)
{
    auto server = startServer("666");
    int handle = awaitServer("666");
    ASSERT_NE(handle, 0);
    ASSERT_EQ(net->setConnection(client, handle, 1, 0), 0);
    ASSERT_EQ(sendText(client, handle, "hello"), 0);
    ASSERT_TRUE(pumpUntil([&] { return me.receivedText("hello"); }, 3000));
    server->signal(SIGKILL);
    EXPECT_TRUE(pumpUntil([&] { return me.gone(handle); }, 1000));
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 1);
}

TEST_F(LknetProcesses, FrozenServerIsDeclaredLostAfterFourAndAHalfSeconds)
{
    auto server = startServer("777");
    int handle = awaitServer("777");
    ASSERT_NE(handle, 0);
    ASSERT_EQ(net->setConnection(client, handle, 1, 0), 0);
    ASSERT_EQ(sendText(client, handle, "hello"), 0);
    ASSERT_TRUE(pumpUntil([&] { return me.receivedText("hello"); }, 3000));
    server->signal(SIGSTOP);
    auto stopped = std::chrono::steady_clock::now();
    ASSERT_TRUE(pumpUntil([&] { return me.errorCount(kErrorConnectionLost) > 0; }, 6000));
    auto waited = std::chrono::steady_clock::now() - stopped;
    EXPECT_GE(waited, std::chrono::milliseconds(3400)); // heartbeats kept it alive until then
    EXPECT_EQ(me.errors[0].port,
              [&]
              {
                  DeviceInfo info;
                  net->getDeviceInfo(&info, handle);
                  return uint32_t(info.port);
              }());
    server->signal(SIGCONT);
    // Once it runs again the connection comes back and says so.
    EXPECT_TRUE(pumpUntil([&] { return me.errorCount(kErrorConnectionRestored) > 0; }, 4000));
}

TEST_F(LknetProcesses, LargeCompressedMessageArrivesIntact)
{
    auto server = startServer("888");
    int handle = awaitServer("888");
    ASSERT_NE(handle, 0);
    std::string data(60 * 1024, '\0');
    std::mt19937 random(7);
    for (char& c : data)
        c = char(random());
    ASSERT_EQ(net->setConnection(client, handle, 1, 0), 0);
    ASSERT_EQ(sendText(client, handle, data, kPacketZipMessage), 0);
    ASSERT_TRUE(pumpUntil([&] { return !me.packets.empty(); }, 3000));
    const Received& echo = me.packets[0];
    EXPECT_EQ(echo.type, kPacketZipMessage);
    EXPECT_EQ(echo.source, uint32_t(handle));
    EXPECT_EQ(echo.destination, uint32_t(client));
    EXPECT_TRUE(echo.data == data);
}

TEST_F(LknetProcesses, UnsubscribeSentAfterSwitchingOffStillArrives)
{
    auto server = startServer("999");
    int handle = awaitServer("999");
    ASSERT_NE(handle, 0);
    ASSERT_EQ(net->setConnection(client, handle, 1, 0), 0);
    ASSERT_EQ(sendText(client, handle, "{\"id\": \"Subscribe\"}"), 0);
    ASSERT_TRUE(server->waitForLine("PACKET JM", 3000));
    ASSERT_EQ(net->setConnection(client, handle, 0, 1), 0);
    ASSERT_EQ(sendText(client, handle, "{\"id\": \"Unsubscribe\"}"), 0);
    std::string line;
    ASSERT_TRUE(server->waitForLine("PACKET JM", 3000, &line));
    EXPECT_NE(line.find("Unsubscribe"), std::string::npos);
    // The switched-off connection closes quietly afterwards.
    EXPECT_TRUE(pumpUntil([&] { return sendText(client, handle, "late") == kErrorNotConnected; }, 3000));
    EXPECT_TRUE(me.errors.empty());
}

TEST_F(LknetProcesses, TwoClientProcessesWithTheSameHandleEachGetTheirOwnReplies)
{
    Recorder serverSide;
    int server = 0;
    ServerDescriptor descriptor;
    descriptor.name = "TX10A";
    descriptor.deviceType = "SPK";
    descriptor.serialNumber = "424242";
    ASSERT_EQ(net->registerServer(&server, &serverSide, &descriptor, 0), 0);

    PeerProcess a({"client"}), b({"client"});
    std::string readyA, readyB;
    ASSERT_TRUE(a.waitForLine("READY", 5000, &readyA));
    ASSERT_TRUE(b.waitForLine("READY", 5000, &readyB));
    ASSERT_EQ(readyA, readyB); // both own the same local handle
    ASSERT_TRUE(a.waitForLine("AVAILABLE", 3000));
    ASSERT_TRUE(b.waitForLine("AVAILABLE", 3000));
    a.send("subscribe 424242 from-a");
    b.send("subscribe 424242 from-b");
    ASSERT_TRUE(pumpUntil([&] { return serverSide.packets.size() == 2; }, 3000));
    // Each remote client has an id of its own here, and every reply goes back
    // to the one that asked.
    EXPECT_NE(serverSide.packets[0].source, serverSide.packets[1].source);
    for (const Received& r : serverSide.packets)
    {
        EXPECT_EQ(r.destination, uint32_t(server));
        EXPECT_EQ(sendText(server, int(r.source), "reply-to-" + r.data), 0);
    }
    std::string line;
    ASSERT_TRUE(a.waitForLine("PACKET JM", 3000, &line));
    EXPECT_NE(line.find("reply-to-from-a"), std::string::npos);
    ASSERT_TRUE(b.waitForLine("PACKET JM", 3000, &line));
    EXPECT_NE(line.find("reply-to-from-b"), std::string::npos);
    for (const std::string& l : a.lines())
        EXPECT_EQ(l.find("from-b"), std::string::npos) << l;
    for (const std::string& l : b.lines())
        EXPECT_EQ(l.find("from-a"), std::string::npos) << l;
    net->unregisterServer(&serverSide);
}

} // namespace
} // namespace lknet::test
