// Round trip of a "PV" record between two processes on loopback: median and
// 99th percentile, first with both sides polling continuously, then with both
// sides waiting on the library's sockets (wait()) between packets.

#include <signal.h>
#include <sys/wait.h>

#include <cstring>

#include "BenchSupport.h"

using namespace lknet;
using namespace lknet::bench;

namespace
{

struct Echo : IEventHandler
{
    int handle = 0;
    int handlePacket(int, const Packet* packet) override
    {
        if (packet->type != kPacketParamValue)
            return 0;
        uint8_t copy[kSizeParamValue];
        std::memcpy(copy, packet, kSizeParamValue);
        auto* reply = reinterpret_cast<Packet*>(copy);
        reply->source = packet->destination;
        reply->destination = packet->source;
        LKGetNetworkManager()->send(reply, 0);
        return 0;
    }
};

struct Client : IEventHandler, INetworkListener
{
    int server = 0;
    int replies = 0;
    int handlePacket(int, const Packet* packet) override
    {
        replies += packet->type == kPacketParamValue;
        return 0;
    }
    void serverAvailable(int h, const ServerDescriptor*) override { server = h; }
    void serverUnavailable(int) override {}
};

} // namespace

int measure(bool spin)
{
    useOwnDiscoveryScope();
    pid_t child = fork();
    if (child == 0)
    {
        INetworkManager* net = LKGetNetworkManager();
        net->startup();
        Echo echo;
        ServerDescriptor d;
        d.name = "TX10A";
        d.deviceType = "SPK";
        d.serialNumber = "1";
        net->registerServer(&echo.handle, &echo, &d, 0);
        for (;;)
        { // until killed
            net->process();
            if (!spin)
                net->wait(100);
        }
    }
    INetworkManager* net = LKGetNetworkManager();
    net->startup();
    Client client;
    int handle = 0;
    net->registerClient(&handle, &client);
    net->addNetworkListener(&client);
    if (!pumpUntil([&] { return client.server != 0; }, 5000))
    {
        std::fprintf(stderr, "server not found\n");
        kill(child, SIGKILL);
        return 1;
    }
    net->setConnection(handle, client.server, 1, 0);
    uint8_t record[kSizeParamValue] = {};
    auto* pv = reinterpret_cast<Packet*>(record);
    *pv = Packet{kPacketParamValue, kSizeParamValue, uint32_t(handle), uint32_t(client.server)};
    std::strcpy(reinterpret_cast<char*>(record + 16), "line/ch1/volume");

    const int warmup = 1000, rounds = 20000;
    std::vector<int64_t> times;
    times.reserve(rounds);
    for (int i = 0; i < warmup + rounds; ++i)
    {
        int before = client.replies;
        int64_t start = microseconds();
        net->send(pv, 0);
        while (client.replies == before)
        {
            net->process();
            if (!spin && client.replies == before)
                net->wait(100);
        }
        if (i >= warmup)
            times.push_back(microseconds() - start);
    }
    std::printf("bench_lknet_roundtrip: PV round trip over loopback, %s, %d rounds\n",
                spin ? "both sides polling continuously" : "both sides waiting in wait()", rounds);
    std::printf("  median %lld us, p99 %lld us, max %lld us\n", (long long)percentile(times, 0.5),
                (long long)percentile(times, 0.99), (long long)percentile(times, 1.0));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    net->shutdown();
    return 0;
}

int main()
{
    return measure(true) | measure(false);
}
