// CPU cost on the client side: (1) one process() call every 10 ms with 64 idle
// connections; (2) meters at 50 Hz from 64 servers (in another process) into
// one client process holding 64 clients.

#include <signal.h>
#include <sys/wait.h>

#include <cstring>

#include "BenchSupport.h"

using namespace lknet;
using namespace lknet::bench;

namespace
{

constexpr int kServers = 64;

struct Nothing : IEventHandler
{
    int handlePacket(int, const Packet*) override { return 0; }
};

struct Client : IEventHandler
{
    int handle = 0;
    long meters = 0;
    int handlePacket(int, const Packet* packet) override
    {
        meters += packet->type == kPacketMetersByte;
        return 0;
    }
};

struct Listener : INetworkListener
{
    std::vector<int> servers;
    void serverAvailable(int h, const ServerDescriptor*) override { servers.push_back(h); }
    void serverUnavailable(int) override {}
};

// 64 servers; with `meters`, each sends a meter record every 20 ms.
int runServers(bool meters)
{
    INetworkManager* net = LKGetNetworkManager();
    if (net->startup() != 0)
        return 1;
    std::vector<Nothing> handlers(kServers);
    std::vector<int> handles(kServers);
    ServerDescriptor d;
    d.name = "TX10A";
    d.deviceType = "SPK";
    for (int i = 0; i < kServers; ++i)
    {
        std::string serial = std::to_string(i);
        d.serialNumber = serial.c_str();
        net->registerServer(&handles[i], &handlers[i], &d, 0);
    }
    std::vector<uint8_t> record(kSizeMeters, 0);
    auto* packet = reinterpret_cast<Packet*>(record.data());
    int64_t next = microseconds();
    for (;;)
    {
        net->process();
        if (meters && microseconds() >= next)
        {
            next += 20000;
            for (int h : handles)
            {
                *packet = Packet{kPacketMetersByte, kSizeMeters, uint32_t(h), 0};
                record[76]++;
                net->sendMeters(packet);
            }
        }
        net->wait(2);
    }
}

void measure(const char* title, bool meters, const char* self)
{
    pid_t child = fork();
    if (child == 0)
    {
        execl("/proc/self/exe", self, meters ? "meters" : "idle", static_cast<char*>(nullptr));
        _exit(127);
    }
    INetworkManager* net = LKGetNetworkManager();
    net->startup();
    Listener listener;
    net->addNetworkListener(&listener);
    pumpUntil([&] { return listener.servers.size() == size_t(kServers); }, 10000);
    std::vector<Client> clients(listener.servers.size());
    for (size_t i = 0; i < clients.size(); ++i)
    {
        net->registerClient(&clients[i].handle, &clients[i]);
        net->setConnection(clients[i].handle, listener.servers[i], 1, 0);
    }
    pumpUntil([] { return false; }, 1000); // let the connections settle

    const int64_t seconds = 10;
    int64_t wallStart = microseconds(), cpuStart = microseconds(CLOCK_PROCESS_CPUTIME_ID);
    int64_t inProcess = 0;
    long calls = 0;
    for (int64_t next = wallStart; microseconds() < wallStart + seconds * 1000000;)
    {
        int64_t before = microseconds(CLOCK_THREAD_CPUTIME_ID);
        net->process();
        inProcess += microseconds(CLOCK_THREAD_CPUTIME_ID) - before;
        ++calls;
        next += 10000;
        int64_t left = next - microseconds();
        if (left > 0)
            usleep(useconds_t(left));
    }
    int64_t wall = microseconds() - wallStart;
    int64_t cpu = microseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    long received = 0;
    for (const Client& c : clients)
        received += c.meters;
    std::printf("%s: %zu connections, %ld process() calls every 10 ms\n", title, clients.size(), calls);
    std::printf("  %.1f us CPU per process() call, client CPU share %.2f %%",
                double(inProcess) / double(calls), 100.0 * double(cpu) / double(wall));
    if (meters)
        std::printf(", %.0f meter records/s received", double(received) * 1e6 / double(wall));
    std::printf("\n");
    for (Client& c : clients)
        net->unregisterClient(&c);
    net->shutdown();
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        return runServers(std::strcmp(argv[1], "meters") == 0);
    useOwnDiscoveryScope();
    measure("bench_lknet_load idle", false, argv[0]);
    measure("bench_lknet_load meters 50 Hz x 64", true, argv[0]);
    return 0;
}
