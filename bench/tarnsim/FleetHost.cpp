// tarnfleet: many emulated speakers in one process, each served like tarnsim serves its one (the
// simulator's own speaker tree and server, registered as a server of its own with the network
// library, listening on a port of its own and announcing a serial number of its own), so that a
// benchmark can put a thousand speakers on the network of a 2-core machine and measure the desk
// instead of a thousand simulator processes. Nothing is saved: every speaker starts from the
// model's defaults.
//
//     tarnfleet COUNT [FIRST_SERIAL]
//
// Speaker i plays model i % 4 (TX10A, TX20A, TX30A, TX40S) and announces FIRST_SERIAL + i (default
// 100000000). One line "Fleet of COUNT speakers serving" once every server is registered; SIGINT or
// SIGTERM ends it (exit 0); -1 when the network cannot start or a server cannot be registered.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lknet/lknet.h"
#include "tarnsim/ModelTable.h"
#include "tarnsim/Report.h"
#include "tarnsim/SimulatorLoop.h"
#include "tarnsim/SpeakerComponent.h"

namespace
{

volatile std::sig_atomic_t quitRequested = 0;

void onInterrupt(int)
{
    quitRequested = 1;
}

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Only problems reach the console; a thousand speakers' routine lines would drown them.
void quietReport(const char*) {}

struct Speaker
{
    std::unique_ptr<Vellaris::Tarn::SpeakerComponent> tree;
    std::string serialNumber;
};

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int count = argc > 1 ? std::atoi(argv[1]) : 0;
    const long long firstSerial = argc > 2 ? std::atoll(argv[2]) : 100000000LL;
    if (count <= 0 || count > 4096 || firstSerial < 0)
    {
        std::fprintf(stderr, "usage: tarnfleet COUNT (1..4096) [FIRST_SERIAL]\n");
        return 2;
    }
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Core::Portable::setReportFunction(quietReport);
    LKSetReportFunction(quietReport);
    lknet::INetworkManager* network = LKGetNetworkManager();
    if (network->startup() != 0)
    {
        std::fprintf(stderr, "tarnfleet: the network cannot start\n");
        return -1;
    }

    std::vector<Speaker> fleet(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        Speaker& speaker = fleet[size_t(i)];
        speaker.tree =
            std::make_unique<Vellaris::Tarn::SpeakerComponent>(network, LKGetFileTransferManager());
        speaker.tree->seedMeter(uint32_t(i + 1));
        speaker.serialNumber = std::to_string(firstSerial + i);
        const Vellaris::Tarn::SpeakerModel& model = Vellaris::Tarn::kSpeakerModels[i % 4];
        lknet::ServerDescriptor descriptor;
        descriptor.size = sizeof(descriptor);
        descriptor.name = model.name;
        descriptor.deviceType = "SPK";
        descriptor.uid = nullptr;
        descriptor.serialNumber = speaker.serialNumber.c_str();
        descriptor.interfaceType = 0;
        int handle = 0;
        if (network->registerServer(&handle, &speaker.tree->server(), &descriptor, 0) != 0)
        {
            std::fprintf(stderr, "tarnfleet: speaker %d cannot be registered\n", i);
            network->shutdown();
            return -1;
        }
        speaker.tree->server().setHandle(uint32_t(handle));
    }
    std::printf("Fleet of %d speakers serving\n", count);

    // The simulator's cadence: every speaker's idle tick (its meter) every 20 ms, packets handled as
    // they arrive in between. Real speakers are devices of their own that answer at once: packets
    // that arrive while the fleet meters are handled between slices of the pass, not after all of
    // it (at a thousand speakers the pass takes most of the 20 ms).
    using Vellaris::Tarn::SimulatorLoop;
    constexpr size_t kSlice = 32;
    int64_t nextTick = nowMs();
    while (!quitRequested)
    {
        for (size_t i = 0; i < fleet.size(); ++i)
        {
            fleet[i].tree->idle();
            if ((i + 1) % kSlice == 0 && network->wait(0) == 1)
                network->process();
        }
        network->process();
        nextTick += SimulatorLoop::kTickMs;
        for (int64_t now = nowMs(); now < nextTick && !quitRequested; now = nowMs())
        {
            if (network->wait(int(nextTick - now)) == 1)
                network->process();
        }
        if (nowMs() - nextTick > SimulatorLoop::kTickMs)
            nextTick = nowMs(); // after a stall, keep the cadence from now on
    }

    for (Speaker& speaker : fleet)
        network->unregisterServer(&speaker.tree->server());
    network->process();
    network->shutdown();
    return 0;
}
