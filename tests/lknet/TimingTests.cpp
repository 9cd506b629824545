// Timing rules of lknet on a clock the test moves by hand; the datagrams and
// connections are real (loopback, a discovery scope of the test's own).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "PeerProcess.h"
#include "Recorder.h"
#include "lknet/NetworkManager.h"
#include "lknet/WireFormat.h"

namespace lknet::test
{
namespace
{

uint64_t g_now = 0;
uint64_t virtualClock()
{
    return g_now;
}
constexpr uint64_t kStart = 1000000;

class LknetTiming : public ::testing::Test
{
protected:
    void SetUp() override
    {
        port = useOwnDiscoveryScope();
        g_now = kStart;
        manager()->setClock(&virtualClock);
        ASSERT_EQ(net->startup(), 0);
        net->addNetworkListener(&me);
        net->addErrorReporter(&me);
        // A second socket on the discovery port sees every datagram.
        observer = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        int on = 1;
        ::setsockopt(observer, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        ::setsockopt(observer, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in address = broadcastAddress();
        ASSERT_EQ(::bind(observer, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    void TearDown() override
    {
        net->shutdown();
        manager()->setClock(nullptr);
        ::close(observer);
    }
    static NetworkManager* manager() { return static_cast<NetworkManager*>(LKGetNetworkManager()); }
    sockaddr_in broadcastAddress() const
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(0x7FFFFFFF);
        return address;
    }
    void at(uint64_t offset)
    {
        g_now = kStart + offset;
        net->process();
    }
    // Announcements that reached the observer since the last call.
    int announcements()
    {
        int n = 0;
        uint8_t buffer[512];
        ssize_t length;
        while ((length = ::recv(observer, buffer, sizeof buffer, 0)) > 0)
        {
            DiscoveryMessage m;
            if (decodeDiscovery(buffer, size_t(length), &m) && m.kind == DiscoveryKind::Announce &&
                m.instance != 42)
                ++n;
        }
        return n;
    }
    void broadcast(const DiscoveryMessage& m)
    {
        uint8_t buffer[kAnnounceSize];
        size_t length = encodeDiscovery(buffer, m);
        sockaddr_in to = broadcastAddress();
        ::sendto(observer, buffer, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    DiscoveryMessage stranger()
    {
        DiscoveryMessage m;
        m.kind = DiscoveryKind::Announce;
        m.instance = 42;
        m.tcpPort = 9;
        m.name = "TX30A";
        m.deviceType = "SPK";
        m.serialNumber = "555555555";
        return m;
    }
    int registerServer()
    {
        ServerDescriptor d;
        d.name = "TX10A";
        d.deviceType = "SPK";
        d.serialNumber = "123456789";
        int handle = 0;
        EXPECT_EQ(net->registerServer(&handle, &serverSide, &d, 0), 0);
        return handle;
    }
    // Registers the server and waits until this process has heard of it; its address in `info`.
    bool registerAndFindServer(DeviceInfo& info)
    {
        registerServer();
        return pumpUntil([&] { return !me.available.empty(); }, 1000) &&
               net->getDeviceInfo(&info, me.available.begin()->first) == 0;
    }

    INetworkManager* net = LKGetNetworkManager();
    Recorder me, serverSide;
    uint16_t port = 0;
    int observer = -1;
};

TEST_F(LknetTiming, ServerAnnouncesAtStartAfterAQuarterSecondAfterOneSecondThenEveryTwo)
{
    at(0); // takes in our own start-up query before there is a server to answer it
    registerServer();
    std::vector<uint64_t> times;
    for (uint64_t t = 0; t <= 7100; t += 10)
    {
        at(t);
        for (int n = announcements(); n > 0; --n)
            times.push_back(t);
    }
    EXPECT_EQ(times, (std::vector<uint64_t>{0, 250, 1000, 3000, 5000, 7000}));
}

TEST_F(LknetTiming, QueryIsAnsweredWithinAHundredMilliseconds)
{
    registerServer();
    at(1500);
    announcements();
    DiscoveryMessage query;
    query.kind = DiscoveryKind::Query;
    query.instance = 7;
    for (int round = 0; round < 5; ++round)
    { // the delay is random: try a few
        uint64_t asked = 1500 + uint64_t(round) * 2;
        broadcast(query);
        uint64_t answered = 0;
        for (uint64_t t = asked; t <= asked + 150 && !answered; ++t)
        {
            at(t);
            if (announcements() > 0)
                answered = t;
        }
        ASSERT_NE(answered, 0u);
        EXPECT_LE(answered - asked, 100u);
        g_now = kStart; // the periodic announcement stays out of the window
    }
}

TEST_F(LknetTiming, ServerHeardOnceIsDroppedAfterThreeMissedAnnouncements)
{
    broadcast(stranger());
    at(0);
    int handle = me.serverWithSerial("555555555");
    ASSERT_NE(handle, 0);
    DeviceInfo info;
    ASSERT_EQ(net->getDeviceInfo(&info, handle), 0);
    EXPECT_EQ(info.port, 9);
    EXPECT_STREQ(info.address, "127.0.0.1");
    broadcast(stranger()); // heard again: one server still
    at(2000);
    EXPECT_EQ(me.available.size(), 1u);
    at(10000);
    EXPECT_FALSE(me.gone(handle));
    at(10001);
    EXPECT_TRUE(me.gone(handle));
    EXPECT_EQ(net->getDeviceInfo(&info, handle), kErrorUnknownHandle);
}

TEST_F(LknetTiming, GoodbyeRemovesTheServerAtOnceAndItsHandleIsNotReused)
{
    broadcast(stranger());
    at(0);
    int handle = me.serverWithSerial("555555555");
    ASSERT_NE(handle, 0);
    DiscoveryMessage bye;
    bye.kind = DiscoveryKind::Bye;
    bye.instance = 42;
    broadcast(bye);
    at(10);
    EXPECT_TRUE(me.gone(handle));
    broadcast(stranger());
    at(20);
    ASSERT_EQ(me.available.size(), 2u);
    EXPECT_NE(me.available.rbegin()->first, handle);
}

// A client of the registered server that says hello and nothing more: a plain socket.
int connectSilentPeer(const DeviceInfo& info, uint64_t instance)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(info.port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    uint8_t hello[kFrameHeaderSize + kHelloSize];
    encodeFrameHeader(hello, FrameHeader{FrameKind::Hello, uint32_t(kHelloSize), 0});
    encodeHello(hello + kFrameHeaderSize, HelloMessage{instance, 1, 0, "silent"});
    EXPECT_EQ(::write(fd, hello, sizeof hello), ssize_t(sizeof hello));
    return fd;
}

// How many frames of the kind have reached the peer's socket since the last call.
int framesOfKind(int fd, FrameKind kind)
{
    int n = 0;
    uint8_t header[kFrameHeaderSize];
    while (::recv(fd, header, sizeof header, MSG_DONTWAIT) == ssize_t(sizeof header))
    {
        FrameHeader h;
        if (decodeFrameHeader(header, &h) && h.kind == kind)
            ++n;
        if (h.length)
        {
            std::vector<uint8_t> skip(h.length);
            ::recv(fd, skip.data(), skip.size(), MSG_WAITALL);
        }
    }
    return n;
}

TEST_F(LknetTiming, SilentPeerGetsHeartbeatsAndIsDeadAfterFourAndAHalfSeconds)
{
    DeviceInfo info;
    ASSERT_TRUE(registerAndFindServer(info));
    const int fd = connectSilentPeer(info, 99);
    auto frames = [&](FrameKind kind) { return framesOfKind(fd, kind); };
    for (int i = 0; i < 20; ++i)
        at(0); // accept, greet
    EXPECT_EQ(frames(FrameKind::Welcome), 1);
    at(999);
    EXPECT_EQ(frames(FrameKind::Heartbeat), 0);
    at(1000);
    EXPECT_EQ(frames(FrameKind::Heartbeat), 1);
    at(4500);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 0);
    at(4501);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 1);
    frames(FrameKind::Heartbeat);
    char byte;
    EXPECT_EQ(::recv(fd, &byte, 1, 0), 0); // closed by the server
    ::close(fd);
}

// The links' timers run in passes: a heartbeat that falls due takes along those due within a
// quarter second, none goes out before one is due, and each link still dies on its own time.
TEST_F(LknetTiming, HeartbeatsDueTogetherLeaveInOnePassAndEachPeerDiesOnItsOwnTime)
{
    DeviceInfo info;
    ASSERT_TRUE(registerAndFindServer(info));
    const int early = connectSilentPeer(info, 97);
    for (int i = 0; i < 20; ++i)
        at(0);
    const int late = connectSilentPeer(info, 98);
    for (int i = 0; i < 20; ++i)
        at(200);
    EXPECT_EQ(framesOfKind(early, FrameKind::Welcome), 1);
    EXPECT_EQ(framesOfKind(late, FrameKind::Welcome), 1);
    at(999);
    EXPECT_EQ(framesOfKind(early, FrameKind::Heartbeat) + framesOfKind(late, FrameKind::Heartbeat), 0);
    at(1000); // the early peer's heartbeat is due; the late one's (1200) goes along
    EXPECT_EQ(framesOfKind(early, FrameKind::Heartbeat), 1);
    EXPECT_EQ(framesOfKind(late, FrameKind::Heartbeat), 1);
    at(1199);
    EXPECT_EQ(framesOfKind(late, FrameKind::Heartbeat), 0);
    at(4501);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 1);
    at(4700);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 1);
    at(4701);
    EXPECT_EQ(me.errorCount(kErrorConnectionLost), 2);
    ::close(early);
    ::close(late);
}

} // namespace
} // namespace lknet::test
