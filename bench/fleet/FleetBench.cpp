// bench_fleet: one roomdesk mirror (the roomctl core) against a fleet of tarnsim processes on
// loopback. For each fleet size it reports how long the mirror takes to list and synchronise every
// speaker, the mirror's CPU load while every speaker's meters run, and its memory per speaker;
// then the change-and-echo round trip of "roomctl ping" against one simulator.
//
//     bench_fleet [--sizes 16,64] [--steady S] [--ping N]
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "speaker/SpeakerRootComponent.h"
#include "tessel/HeadlessPlatform.h"
#include "tests/network/ChildProcess.h"
#include "tools/roomctl/MirrorSession.h"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using NetworkTest::ChildProcess;
using Vellaris::Tools::MirrorSession;

const char* const kModels[] = {"TX10A", "TX20A", "TX30A", "TX40S"};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

size_t heapBytes()
{
    return mallinfo2().uordblks;
}

size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

int countSynchronized(MirrorSession& session)
{
    int count = 0;
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    for (int i = 0; i < manager.countSpeakers(); ++i)
        if (MirrorSession::isSynchronized(manager.getSpeaker(i)))
            ++count;
    return count;
}

std::vector<std::unique_ptr<ChildProcess>> startFleet(int size)
{
    std::vector<std::unique_ptr<ChildProcess>> fleet;
    for (int i = 0; i < size; ++i)
        fleet.push_back(
            std::make_unique<ChildProcess>(TARNSIM_PATH, std::vector<std::string>{kModels[i % 4]}));
    return fleet;
}

// Waits until every simulator has registered (its console says so) or the time is up.
bool waitUntilAnnounced(std::vector<std::unique_ptr<ChildProcess>>& fleet, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (auto& simulator : fleet)
    {
        while ((simulator->output() + simulator->errors()).find("Tarnsim launced") == std::string::npos)
        {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(20ms);
        }
    }
    // The announcement follows the first console line at once; give the last ones a moment.
    std::this_thread::sleep_for(300ms);
    return true;
}

void runFleet(int size, double steadySeconds)
{
    std::printf("== fleet of %d simulators\n", size);
    NetworkTest::useNewDiscoveryScope();
    auto fleet = startFleet(size);
    if (!waitUntilAnnounced(fleet, 30s))
    {
        std::printf("   simulators did not start in time\n");
        return;
    }

    Vellaris::registerSpeakerClasses(); // the model's own memory is not the speakers'
    const size_t heapBefore = heapBytes();
    const size_t rssBefore = residentBytes();

    const auto start = Clock::now();
    MirrorSession session;
    if (!session.isStarted())
    {
        std::printf("   mirror did not start: %s\n", session.getError().c_str());
        return;
    }
    double listedMs = -1;
    bool synced = session.getPlatform().runUntil(
        [&]
        {
            if (listedMs < 0 && session.getManager().countSpeakers() >= size)
                listedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            return countSynchronized(session) >= size;
        },
        30000);
    const double syncMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!synced)
    {
        std::printf("   only %d of %d synchronised after %.0f ms\n", countSynchronized(session), size,
                    syncMs);
        return;
    }
    std::printf("   listed all after %.0f ms, all synchronised after %.0f ms (goal < 2000 ms)\n", listedMs,
                syncMs);

    // Every meter view of every speaker, as a window showing them all would ask for.
    Vellaris::SpeakerNetworkManager& manager = session.getManager();
    for (int i = 0; i < manager.countSpeakers(); ++i)
        for (int view = 0; view < Vellaris::SpeakerComponent::kMeterViews; ++view)
            manager.getSpeaker(i)->getSpeakerComponent()->getMeterView(view);
    session.getPlatform().runFor(500);

    const size_t heapAfter = heapBytes();
    const size_t rssAfter = residentBytes();
    std::printf("   memory per speaker: heap %.0f KB, resident %.0f KB (aim < 200 KB)\n",
                double(heapAfter - heapBefore) / 1024.0 / size, double(rssAfter - rssBefore) / 1024.0 / size);

    const double cpuStart = cpuSeconds();
    const auto wallStart = Clock::now();
    session.getPlatform().runFor(int64_t(steadySeconds * 1000));
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("   steady CPU with all meters: %.1f %% of one core over %.1f s (goal < 10 %%)\n",
                100.0 * cpu / wall, wall);
    std::printf("   speakers still listed: %d\n", manager.countSpeakers());
}

// The share of the speaker's own component tree in the memory per speaker: trees built without
// any network around them.
void measureTrees()
{
    Tessel::HeadlessPlatform platform;
    Vellaris::registerSpeakerClasses();
    constexpr int kTrees = 16;
    const size_t before = heapBytes();
    std::vector<Tessel::AutoPtr<Vellaris::LK::SpeakerRootComponent>> trees;
    for (int i = 0; i < kTrees; ++i)
        trees.emplace_back(new Vellaris::LK::SpeakerRootComponent);
    std::printf("== component tree of one speaker (mirror, speaker component, local parameters): %.0f KB\n",
                double(heapBytes() - before) / 1024.0 / kTrees);
    trees.clear();
    Tessel::destroyRootComponent();
}

void runPing(int count)
{
    std::printf("== roomctl ping, one simulator, %d round trips\n", count);
    NetworkTest::useNewDiscoveryScope();
    auto fleet = startFleet(1);
    if (!waitUntilAnnounced(fleet, 10s))
        return;
    ChildProcess ping(ROOMCTL_PATH, {"ping", "123456789", "--count", std::to_string(count)});
    if (!ping.waitForEnd(60s) || ping.exitStatus() != 0)
    {
        std::printf("   roomctl ping failed: %s\n", ping.errors().c_str());
        return;
    }
    std::printf("   %s", ping.output().c_str());
}

std::vector<int> readSizes(const std::string& text)
{
    std::vector<int> sizes;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        if (int n = std::atoi(part.c_str()); n > 0 && n <= 256)
            sizes.push_back(n);
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes = {16, 64};
    double steady = 5;
    int pings = 200;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        std::string option = argv[i];
        if (option == "--sizes")
            sizes = readSizes(argv[i + 1]);
        else if (option == "--steady")
            steady = std::max(0.5, std::atof(argv[i + 1]));
        else if (option == "--ping")
            pings = std::max(1, std::atoi(argv[i + 1]));
    }
    std::printf("bench_fleet: load average %s on %ld cores\n", loadAverage().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN));
    measureTrees();
    for (int size : sizes)
        runFleet(size, steady);
    runPing(pings);
    std::printf("load average at the end %s\n", loadAverage().c_str());
    return 0;
}
