// lknet with a server and clients in this one process, talking over loopback.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PeerProcess.h"
#include "Recorder.h"
#include "lknet/WireFormat.h"

namespace lknet::test
{
namespace
{

class LknetLoop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useOwnDiscoveryScope();
        ASSERT_EQ(net->startup(), 0);
        net->addNetworkListener(&clientSide);
        net->addErrorReporter(&clientSide);
        ServerDescriptor descriptor;
        descriptor.name = "TX20A/1.2";
        descriptor.deviceType = "SPK";
        descriptor.serialNumber = "987654321";
        ASSERT_EQ(net->registerServer(&server, &serverSide, &descriptor, 0), 0);
        ASSERT_EQ(net->registerClient(&client, &clientSide), 0);
        ASSERT_TRUE(pumpUntil([&] { return clientSide.serverWithSerial("987654321") != 0; }, 3000));
        remote = clientSide.serverWithSerial("987654321");
        DeviceInfo info;
        ASSERT_EQ(net->getDeviceInfo(&info, remote), 0);
        serverPort = info.port;
    }
    void TearDown() override { net->shutdown(); }

    // Switches the connection on and waits until a first message went through.
    void connect()
    {
        ASSERT_EQ(net->setConnection(client, remote, 1, 0), 0);
        ASSERT_EQ(sendText(client, remote, "first"), 0);
        ASSERT_TRUE(pumpUntil([&] { return serverSide.receivedText("first"); }, 3000));
    }

    // A raw TCP connection to the server's port.
    int rawConnection()
    {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(serverPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
        return fd;
    }
    // Pumps until the peer has closed `fd` (reads end of stream or a reset).
    bool closedByPeer(int fd)
    {
        return pumpUntil(
            [&]
            {
                char buffer[256];
                ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                return n == 0 || (n < 0 && errno != EAGAIN);
            },
            3000);
    }

    INetworkManager* net = LKGetNetworkManager();
    Recorder serverSide, clientSide;
    int server = 0, client = 0, remote = 0;
    uint16_t serverPort = 0;
};

TEST_F(LknetLoop, SendAnswersWithADistinctCodeForEachFailure)
{
    std::string big(kMaxPacketSize + 1, 'x');
    EXPECT_EQ(sendText(client, remote, big), kErrorTooLarge);
    std::vector<uint64_t> record((kMaxPacketSize + 16) / 8);
    auto* huge = reinterpret_cast<Packet*>(record.data());
    *huge = Packet{packetCode('X', 'X'), kMaxPacketSize + 8, uint32_t(client), uint32_t(remote)};
    EXPECT_EQ(net->send(huge, 0), kErrorTooLarge);

    EXPECT_EQ(net->send(nullptr, 0), kErrorBadArgument);
    Packet shortPv{kPacketParamValue, 100, uint32_t(client), uint32_t(remote)};
    EXPECT_EQ(net->send(&shortPv, 0), kErrorBadArgument);
    EXPECT_EQ(sendText(client, 999999, "x"), kErrorUnknownHandle);
    EXPECT_EQ(sendText(client, remote, "x"), kErrorNotConnected); // not switched on
    EXPECT_EQ(sendText(server, 999999, "x"), kErrorUnknownHandle);

    std::string limit(kMaxPacketSize, 'y'); // exactly at the limit still goes
    connect();
    EXPECT_EQ(sendText(client, remote, limit), kOk);
    EXPECT_TRUE(pumpUntil([&] { return serverSide.receivedText(limit); }, 3000));
}

TEST_F(LknetLoop, RepliesGoToTheAskingClientUnderItsOwnHandle)
{
    connect();
    const Received& in = serverSide.packets.back();
    EXPECT_EQ(in.destination, uint32_t(server));
    EXPECT_EQ(in.context, server);
    EXPECT_NE(in.source, uint32_t(client)); // the server knows the client by a peer id
    ASSERT_EQ(sendText(server, int(in.source), "answer"), kOk);
    ASSERT_TRUE(pumpUntil([&] { return clientSide.receivedText("answer"); }, 3000));
    EXPECT_EQ(clientSide.packets.back().source, uint32_t(remote));
    EXPECT_EQ(clientSide.packets.back().destination, uint32_t(client));
}

TEST_F(LknetLoop, SimulatedErrorsReportLossAndThenRestoration)
{
    connect();
    uint32_t peer = serverSide.packets.back().source;
    net->simulateErrors();
    ASSERT_TRUE(pumpUntil([&] { return clientSide.errorCount(kErrorConnectionRestored) == 1; }, 3000));
    // Loss first (seen from both ends here), then the restoration, each with
    // the server's address and port for the client's connection.
    ASSERT_GE(clientSide.errors.size(), 2u);
    EXPECT_EQ(clientSide.errors.front().code, kErrorConnectionLost);
    EXPECT_EQ(clientSide.errors.back().code, kErrorConnectionRestored);
    EXPECT_STREQ(clientSide.errors.back().address, "127.0.0.1");
    EXPECT_EQ(clientSide.errors.back().port, serverPort);
    int losses = clientSide.errorCount(kErrorConnectionLost);
    EXPECT_EQ(losses, 2);
    // The restored connection carries packets, under the same peer id as before.
    ASSERT_EQ(sendText(client, remote, "again"), kOk);
    ASSERT_TRUE(pumpUntil([&] { return serverSide.receivedText("again"); }, 3000));
    EXPECT_EQ(serverSide.packets.back().source, peer);
    EXPECT_TRUE(clientSide.unavailable.empty());
}

TEST_F(LknetLoop, MetersReachEveryConnectedClient)
{
    Recorder second;
    int other = 0;
    ASSERT_EQ(net->registerClient(&other, &second), 0);
    connect();
    ASSERT_EQ(net->setConnection(other, remote, 1, 0), 0);
    ASSERT_EQ(sendText(other, remote, "second"), 0);
    ASSERT_TRUE(pumpUntil([&] { return serverSide.receivedText("second"); }, 3000));
    std::vector<uint8_t> record(kSizeMeters, 0);
    *reinterpret_cast<Packet*>(record.data()) = Packet{kPacketMetersByte, kSizeMeters, uint32_t(server), 0};
    record[76] = 200;
    ASSERT_EQ(net->sendMeters(reinterpret_cast<Packet*>(record.data())), kOk);
    auto gotMeters = [](const Recorder& r)
    {
        for (const Received& p : r.packets)
            if (p.type == kPacketMetersByte && uint8_t(p.data[76]) == 200)
                return true;
        return false;
    };
    EXPECT_TRUE(pumpUntil([&] { return gotMeters(clientSide) && gotMeters(second); }, 3000));
    net->unregisterClient(&second);
}

TEST_F(LknetLoop, WritesHeldByABatchLeaveTogetherWhenItEnds)
{
    connect();
    const size_t before = serverSide.packets.size();
    {
        WriteBatch outer(net);
        {
            WriteBatch inner(net); // batches nest: only the outermost end writes
            ASSERT_EQ(sendText(client, remote, "held one"), kOk);
        }
        ASSERT_EQ(sendText(client, remote, "held two"), kOk);
        // process() runs meanwhile (it holds and releases writes itself) without letting them go.
        EXPECT_FALSE(pumpUntil([&] { return serverSide.packets.size() > before; }, 200));
    }
    ASSERT_TRUE(pumpUntil([&] { return serverSide.packets.size() >= before + 2; }, 3000));
    EXPECT_EQ(serverSide.packets[before].data, "held one");
    EXPECT_EQ(serverSide.packets[before + 1].data, "held two");

    // A reply sent while the handler is called back leaves by the end of that process().
    ASSERT_EQ(sendText(server, int(serverSide.packets.back().source), "answer"), kOk);
    EXPECT_TRUE(pumpUntil([&] { return clientSide.receivedText("answer"); }, 3000));
}

TEST_F(LknetLoop, OverlongFrameFromAStrangerClosesTheConnection)
{
    int fd = rawConnection();
    uint8_t header[kFrameHeaderSize];
    encodeFrameHeader(header, FrameHeader{FrameKind::Packet, 0, 0});
    putU32(header + 4, 1u << 30); // a gigabyte announced
    ASSERT_EQ(::write(fd, header, sizeof header), ssize_t(sizeof header));
    EXPECT_TRUE(closedByPeer(fd));
    ::close(fd);

    fd = rawConnection();
    const char garbage[] = "GET / HTTP/1.0\r\n\r\n";
    ASSERT_GT(::write(fd, garbage, sizeof garbage), 0);
    EXPECT_TRUE(closedByPeer(fd));
    ::close(fd);
}

TEST_F(LknetLoop, StrangersThatSayNothingAreBounded)
{
    std::vector<int> fds;
    for (int i = 0; i < 70; ++i)
    {
        fds.push_back(rawConnection());
        if (i % 10 == 9)
            net->process(); // keep the listen backlog short
    }
    auto closed = [&]
    {
        int n = 0;
        for (int fd : fds)
        {
            char byte;
            ssize_t r = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            n += r == 0 || (r < 0 && errno != EAGAIN);
        }
        return n;
    };
    EXPECT_TRUE(pumpUntil([&] { return closed() == 6; }, 3000));
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(closed(), 6); // 64 may wait for their hello
    for (int fd : fds)
        ::close(fd);
}

TEST_F(LknetLoop, TextsWithoutTheirNulAreCutAtTheFieldEnd)
{
    int fd = rawConnection();
    std::vector<uint8_t> bytes;
    auto frame = [&](FrameKind kind, const std::vector<uint8_t>& payload, uint32_t sequence)
    {
        uint8_t header[kFrameHeaderSize];
        encodeFrameHeader(header, FrameHeader{kind, uint32_t(payload.size()), sequence});
        bytes.insert(bytes.end(), header, header + sizeof header);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    };
    std::vector<uint8_t> hello(kHelloSize);
    encodeHello(hello.data(), HelloMessage{77, 1, 0, "raw"});
    frame(FrameKind::Hello, hello, 0);
    std::vector<uint8_t> ps(kSizeParamString, 'a'); // path and text without NUL
    putU32(ps.data(), kPacketParamString);
    putU32(ps.data() + 4, kSizeParamString);
    frame(FrameKind::Packet, ps, 1);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ASSERT_TRUE(pumpUntil([&] { return !serverSide.packets.empty(); }, 3000));
    const std::string& record = serverSide.packets.back().data;
    ASSERT_EQ(record.size(), kSizeParamString);
    EXPECT_EQ(std::strlen(record.c_str() + 16), 127u);
    EXPECT_EQ(std::strlen(record.c_str() + 148), 255u);
    ::close(fd);
}

TEST_F(LknetLoop, ListenerAddedLaterLearnsTheServersAlreadyKnown)
{
    Recorder late;
    net->addNetworkListener(&late);
    net->process();
    EXPECT_EQ(late.serverWithSerial("987654321"), remote);
    EXPECT_EQ(clientSide.available.size(), 1u); // no second report for the first one
    net->removeNetworkListener(&late);
}

TEST_F(LknetLoop, UnregisteringAServerSaysGoodbyeToItsClients)
{
    connect();
    ASSERT_EQ(net->unregisterServer(&serverSide), 0);
    EXPECT_TRUE(pumpUntil([&] { return clientSide.gone(remote); }, 1000));
    EXPECT_TRUE(clientSide.errors.empty());
    EXPECT_EQ(sendText(client, remote, "x"), kErrorUnknownHandle);
}

} // namespace
} // namespace lknet::test
