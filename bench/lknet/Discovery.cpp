// Time from a server's start (a new process that starts the library and
// registers a server) to serverAvailable at a client that is already running.

#include <signal.h>
#include <sys/wait.h>

#include <cstring>

#include "BenchSupport.h"

using namespace lknet;
using namespace lknet::bench;

namespace
{

struct Nothing : IEventHandler
{
    int handlePacket(int, const Packet*) override { return 0; }
};

struct Listener : INetworkListener
{
    int available = 0;
    void serverAvailable(int, const ServerDescriptor*) override { ++available; }
    void serverUnavailable(int) override {}
};

int runServer()
{
    INetworkManager* net = LKGetNetworkManager();
    if (net->startup() != 0)
        return 1;
    Nothing handler;
    int handle = 0;
    ServerDescriptor d;
    d.name = "TX10A";
    d.deviceType = "SPK";
    d.serialNumber = "1";
    net->registerServer(&handle, &handler, &d, 0);
    for (;;)
    {
        net->process();
        net->wait(20);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "server") == 0)
        return runServer();
    useOwnDiscoveryScope();
    INetworkManager* net = LKGetNetworkManager();
    net->startup();
    Listener listener;
    net->addNetworkListener(&listener);
    std::vector<int64_t> times;
    const int runs = 30;
    for (int run = 0; run < runs; ++run)
    {
        int before = listener.available;
        int64_t start = microseconds();
        pid_t child = fork();
        if (child == 0)
        {
            execl("/proc/self/exe", argv[0], "server", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pumpUntil([&] { return listener.available > before; }, 3000))
            times.push_back(microseconds() - start);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::printf("bench_lknet_discovery: process start to serverAvailable, %zu of %d runs\n", times.size(),
                runs);
    std::printf("  median %.2f ms, max %.2f ms\n", double(percentile(times, 0.5)) / 1000.0,
                double(percentile(times, 1.0)) / 1000.0);
    net->shutdown();
    return 0;
}
